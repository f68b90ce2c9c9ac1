#include "DocumentController.h"

#include "app/RecentFileList.h"
#include "data/CKovo5Doc.h"
#include "data/Notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <memory>

namespace kovo {

namespace {

constexpr const char* documentFilter = "KOVO3000 File (*.kv5)";
constexpr const char* documentSuffix = "kv5";
constexpr const char* saveChangesQuestion =
    QT_TRANSLATE_NOOP("DocumentController", "%1 への変更を保存しますか?");

std::string toNative(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString normalised(const QString& path) {
    return path.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString inUseElsewhere(const QString& path, const DocumentLock& lock) {
    return QStringLiteral("%1 is open in another program (%2).")
        .arg(shown(path), QString::fromStdString(lock.holder().describe()));
}

} // namespace

// --- the program's document ------------------------------------------------------

void Kovo5DocumentFile::newDocument() {
    document_.onNewDocument();
}

bool Kovo5DocumentFile::read(const std::string& path, std::string& message) {
    const FileResult result = document_.openDocument(path);
    message = result.message;
    return result.ok;
}

bool Kovo5DocumentFile::write(const std::string& path, std::string& errorText) {
    const FileResult result = document_.saveDocument(path);
    errorText = result.message;
    return result.ok;
}

bool Kovo5DocumentFile::exportFile(const std::string& path, int kind, bool csv,
                                   std::string& message) {
    const FileResult result = document_.exportFile(path, kind, csv);
    message = result.message;
    return result.ok;
}

bool Kovo5DocumentFile::isModified() const {
    return document_.isModified();
}

void Kovo5DocumentFile::setModified(bool modified) {
    document_.setModified(modified);
}

// --- dialogs -----------------------------------------------------------------

QString QtFileDialogs::openFileName(const QString& directory) {
    return QFileDialog::getOpenFileName(parent_, QString(), directory,
                                        QString::fromLatin1(documentFilter));
}

QString QtFileDialogs::saveFileName(const QString& proposedPath) {
    QFileDialog dialog(parent_, QString(), proposedPath, QString::fromLatin1(documentFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(documentSuffix));
    dialog.selectFile(proposedPath);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

ExportTarget QtFileDialogs::exportTarget(const QString& proposedPath) {
    std::unique_ptr<QFileDialog> dialog(createExportDialog(parent_, proposedPath));
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return exportTargetFor(dialog->selectedFiles().value(0),
                           exportFileTypeOf(dialog->selectedNameFilter()));
}

// --- controller ----------------------------------------------------------------

DocumentController::DocumentController(DocumentFile& document, Notifier& notifier,
                                       FileDialogs& dialogs, RecentFileList& recentFiles,
                                       QString dataDirectory, Hooks hooks, QObject* parent)
    : QObject(parent), document_(document), notifier_(notifier), dialogs_(dialogs),
      dataDirectory_(std::move(dataDirectory)), hooks_(std::move(hooks)), recent_(recentFiles) {}

QString DocumentController::resolve(const QString& fileName) const {
    if (fileName.isEmpty() || QFileInfo(fileName).isAbsolute())
        return normalised(fileName);
    return normalised(QDir(dataDirectory_).filePath(fileName));
}

QStringList DocumentController::recentFiles() const {
    QStringList list;
    for (const std::string& file : recent_.files())
        list.append(QFile::decodeName(file.c_str()));
    return list;
}

QString DocumentController::title() const {
    if (path_.isEmpty())
        return QString::fromLatin1(untitledName);
    const QString name = QFileInfo(path_).fileName();
    return readOnly_ ? name + QStringLiteral(" (read-only)") : name;
}

bool DocumentController::saveModified() {
    if (!document_.isModified())
        return true;
    const QString question =
        QCoreApplication::translate("DocumentController", saveChangesQuestion).arg(title());
    switch (notifier_.askYesNoCancel(question.toStdString())) {
    case Notifier::Answer::Yes:
        return fileSave();
    case Notifier::Answer::No:
        return true;
    case Notifier::Answer::Cancel:
        break;
    }
    return false;
}

bool DocumentController::fileNew() {
    if (!saveModified())
        return false;
    document_.newDocument();
    letGoOfDocument();
    setPath(QString());
    documentReplaced();
    return true;
}

bool DocumentController::fileOpen() {
    const QString chosen = dialogs_.openFileName(documentDirectory());
    return !chosen.isEmpty() && openFile(chosen);
}

bool DocumentController::openFile(const QString& fileName) {
    const QString path = resolve(fileName);
    if (path.isEmpty())
        return false;
    if (path == path_)
        return true; // already the open document: nothing to read again
    if (!saveModified())
        return false;
    DocumentLock lock = DocumentLock::acquire(toNative(path));
    if (!readInto(path)) {
        removeRecent(path);
        return false;
    }
    holdDocument(path, std::move(lock));
    if (readOnly_)
        notifier_.showMessage(
            (readOnlyReason() + QStringLiteral(" Changes made here can be saved under another "
                                               "name with File ▸ Save As."))
                .toStdString());
    addRecent(path);
    documentReplaced();
    return true;
}

bool DocumentController::openRecent(int index) {
    const QStringList files = recentFiles();
    if (index < 0 || index >= files.size())
        return false;
    const QString entry = files.at(index);
    // A stored relative name that fails is dropped as stored, not as resolved.
    if (!openFile(entry) && resolve(entry) != path_) {
        removeRecent(entry);
        return false;
    }
    return true;
}

bool DocumentController::fileSave() {
    if (path_.isEmpty())
        return fileSaveAs();
    if (readOnly_) {
        notifier_.showMessage(
            (readOnlyReason() + QStringLiteral(" Save it under another name.")).toStdString());
        return fileSaveAs();
    }
    return replaceOwnFile(true);
}

bool DocumentController::saveWithoutAsking(QString* note) {
    if (!document_.isModified())
        return true;
    if (path_.isEmpty() && untitledIsExample_)
        return true;
    if (readOnly_) {
        notifier_.showMessage(
            (readOnlyReason() + QStringLiteral(" The changes made here were not saved."))
                .toStdString());
        return false;
    }
    if (!path_.isEmpty())
        return replaceOwnFile(false);
    QDir().mkpath(dataDirectory_);
    const QString wanted = resolve(QLatin1String(defaultName));
    const QString path = freeDocumentPath();
    if (path.isEmpty() || !saveAsNewFile(path))
        return false;
    if (note && path != wanted)
        *note = QStringLiteral("%1 exists; the untitled document was saved as %2")
                    .arg(QDir::toNativeSeparators(wanted), QDir::toNativeSeparators(path));
    return true;
}

// "Frequency.kv5" in the data folder, or the first of "Frequency-2.kv5",
// "Frequency-3.kv5", ... that does not exist: an untitled document never
// takes the place of a file the user has.
QString DocumentController::freeDocumentPath() const {
    const QString base = QFileInfo(QLatin1String(defaultName)).completeBaseName();
    const QString suffix = QFileInfo(QLatin1String(defaultName)).suffix();
    for (int n = 1; n <= kMaxFreeNameTries; ++n) {
        const QString name = n == 1 ? QLatin1String(defaultName)
                                    : QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(suffix);
        const QString path = resolve(name);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
    return {};
}

bool DocumentController::fileSaveAs() {
    const QString chosen = dialogs_.saveFileName(proposedSavePath());
    if (chosen.isEmpty())
        return false;
    const QString path = normalised(chosen);
    if (path == path_ && !readOnly_)
        return replaceOwnFile(true);
    return saveAsNewFile(path);
}

bool DocumentController::replaceOwnFile(bool mayAsk) {
    if (changedOnDisk()) {
        const QString changed =
            QStringLiteral("%1 was changed on disk after it was read here.").arg(shown(path_));
        if (!mayAsk) {
            notifier_.showMessage(
                (changed + QStringLiteral(" It was not replaced; the changes made here were not "
                                          "saved."))
                    .toStdString());
            return false;
        }
        const QString question =
            changed + QStringLiteral(" Replace it with the document open here? What the other "
                                     "program wrote would be lost.");
        if (!notifier_.askYesNo(question.toStdString()))
            return false;
    }
    if (!writeTo(path_))
        return false;
    stamp_ = fileStampOf(toNative(path_));
    return true;
}

bool DocumentController::saveAsNewFile(const QString& path) {
    DocumentLock lock = DocumentLock::acquire(toNative(path));
    if (lock.heldElsewhere()) {
        notifier_.showMessage((inUseElsewhere(path, lock) +
                               QStringLiteral(" The document was not saved; choose another name."))
                                  .toStdString());
        return false;
    }
    if (!writeTo(path))
        return false;
    holdDocument(path, std::move(lock));
    addRecent(path);
    return true;
}

void DocumentController::holdDocument(const QString& path, DocumentLock lock) {
    lock_ = std::move(lock);
    readOnly_ = lock_.heldElsewhere();
    stamp_ = fileStampOf(toNative(path));
    setPath(path);
}

void DocumentController::letGoOfDocument() {
    lock_.release();
    readOnly_ = false;
    stamp_.reset();
}

// A file that went away is not a change that anything could be lost to.
bool DocumentController::changedOnDisk() const {
    const auto now = fileStampOf(toNative(path_));
    return stamp_ && now && *now != *stamp_;
}

QString DocumentController::readOnlyReason() const {
    return inUseElsewhere(path_, lock_) + QStringLiteral(" It is open read-only here.");
}

void DocumentController::exportText(int kind) {
    const QString directory =
        lastExportDirectory_.isEmpty() ? documentDirectory() : lastExportDirectory_;
    const QLatin1String name(kind == 1 ? "Log.txt" : "Frequency.txt");
    const ExportTarget target = dialogs_.exportTarget(QDir(directory).filePath(name));
    if (target.path.isEmpty())
        return;
    lastExportDirectory_ = QFileInfo(target.path).absolutePath();
    // A file that cannot be written is reported rather than passed over in
    // silence, and so is what a written export had to leave out.
    std::string message;
    const bool written = document_.exportFile(toNative(target.path), kind, target.csv, message);
    if (!written || !message.empty())
        notifier_.showMessage(message);
}

bool DocumentController::readInto(const QString& path) {
    return withPortClosed(
        [&](std::string& error) { return document_.read(toNative(path), error); });
}

bool DocumentController::writeTo(const QString& path) {
    return withPortClosed(
        [&](std::string& error) { return document_.write(toNative(path), error); });
}

// Reading and writing the document file happen with the serial port closed.
// A failure is reported, and leaves the link as it was: closed at start-up,
// polling again if it was running. What a successful read had to put right
// is reported too.
bool DocumentController::withPortClosed(const std::function<bool(std::string&)>& fileOperation) {
    const bool wasOpen = hooks_.closePort ? hooks_.closePort() : false;
    std::string message;
    const bool ok = fileOperation(message);
    if (!ok || !message.empty())
        notifier_.showMessage(message);
    if ((ok || wasOpen) && hooks_.reopenPort)
        hooks_.reopenPort();
    return ok;
}

// Starting the view over applies the stored operating mode, which marks the
// document modified once the program runs; the document stays as reading or
// File New left it (unmodified, or modified when reading had to convert it).
void DocumentController::documentReplaced() {
    const bool modifiedByReading = document_.isModified();
    if (hooks_.documentReplaced)
        hooks_.documentReplaced();
    document_.setModified(modifiedByReading);
}

void DocumentController::setPath(const QString& path) {
    path_ = path;
    emit titleChanged(title());
}

void DocumentController::addRecent(const QString& path) {
    recent_.add(toNative(path));
    emit recentListChanged();
}

void DocumentController::removeRecent(const QString& path) {
    recent_.remove(toNative(path));
    emit recentListChanged();
}

QString DocumentController::documentDirectory() const {
    return path_.isEmpty() ? dataDirectory_ : QFileInfo(path_).absolutePath();
}

QString DocumentController::proposedSavePath() const {
    if (!path_.isEmpty())
        return path_;
    QDir().mkpath(dataDirectory_);
    return QDir(dataDirectory_).filePath(QString::fromLatin1(untitledName) + QLatin1String(".kv5"));
}

} // namespace kovo
