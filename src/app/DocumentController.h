#pragma once
#include "app/ExportTarget.h"
#include "data/DocumentLock.h"
#include "data/FileIo.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

namespace kovo {

class Notifier;
class RecentFileList;

// The document as the file commands see it: start afresh, read, write, export.
class DocumentFile {
public:
    virtual ~DocumentFile() = default;
    virtual void newDocument() = 0;
    // Reads the file at path. On failure the document keeps what it held and
    // message says why; on success it tells what reading had to put right
    // (repeated channels merged), or is empty. UTF-8, for the user.
    virtual bool read(const std::string& path, std::string& message) = 0;
    // Writes the file at path without destroying the previous file on failure.
    virtual bool write(const std::string& path, std::string& errorText) = 0;
    // kind 0 = memory channels, 1 = log; csv chooses comma-separated values
    // over columns. On failure message says why; on success it tells what the
    // export left out, or is empty.
    virtual bool exportFile(const std::string& path, int kind, bool csv, std::string& message) = 0;
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
};

class CKovo5Doc;

// The program's document behind the file commands.
class Kovo5DocumentFile final : public DocumentFile {
public:
    explicit Kovo5DocumentFile(CKovo5Doc& document) : document_(document) {}
    void newDocument() override;
    bool read(const std::string& path, std::string& message) override;
    bool write(const std::string& path, std::string& errorText) override;
    bool exportFile(const std::string& path, int kind, bool csv, std::string& message) override;
    bool isModified() const override;
    void setModified(bool modified) override;

private:
    CKovo5Doc& document_;
};

// The file dialogs the commands need; the program shows real dialogs, tests answer.
// An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(const QString& directory) = 0;
    virtual QString saveFileName(const QString& proposedPath) = 0;
    // The export target, proposing `proposedPath` (its folder is where the
    // dialog starts).
    virtual ExportTarget exportTarget(const QString& proposedPath) = 0;
};

// Modal QFileDialogs with the program's captions and filters.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
    QString openFileName(const QString& directory) override;
    QString saveFileName(const QString& proposedPath) override;
    ExportTarget exportTarget(const QString& proposedPath) override;

private:
    QWidget* parent_;
};

// The document commands of the program: new, open, save, save as, the recent
// file list and export. It asks to save a modified document before replacing
// it, reports file errors in message boxes, and closes the serial port around
// every reading and writing of the document file.
//
// The open document file is locked against other programs. A file another
// program holds is opened read-only: it is never saved over, only under
// another name. A file changed on disk since it was read is not replaced
// without asking.
class DocumentController : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Closes the serial port; answers whether it was open.
        std::function<bool()> closePort;
        // Opens the configured port again and probes the receiver.
        std::function<void()> reopenPort;
        // The document was replaced (new or opened): the view starts over with
        // it. What the view does here (applying the stored operating mode) is
        // no change of the document.
        std::function<void()> documentReplaced;
    };

    static constexpr const char* untitledName = "Untitled";
    // Where an untitled document is saved without asking.
    static constexpr const char* defaultName = "Frequency.kv5";

    DocumentController(DocumentFile& document, Notifier& notifier, FileDialogs& dialogs,
                       RecentFileList& recentFiles, QString dataDirectory, Hooks hooks,
                       QObject* parent = nullptr);

    // A relative document name (such as the default "Frequency.kv5") lives in
    // the per-user data folder, never in the working directory.
    QString resolve(const QString& fileName) const;

    bool fileNew();
    bool fileOpen();
    // Opens a file as the recent file list does: the current document is kept
    // when path already names it; a file that cannot be read leaves the list.
    bool openFile(const QString& fileName);
    bool openRecent(int index);
    bool fileSave();
    bool fileSaveAs();
    // Saves a modified document without asking anything: to its file, or an
    // untitled one to "Frequency.kv5" in the data folder, or under the first
    // free name "Frequency-2.kv5", ... when that exists (`note` then says
    // where it went). An unchanged document is not written, nor is an
    // untitled example (see setUntitledIsExample). A document open read-only,
    // or whose file changed on disk since it was read, is not written either
    // (a message says why). True when nothing is left unsaved that should be.
    bool saveWithoutAsking(QString* note = nullptr);
    // An untitled document is only an example (the demo's): saving without
    // asking leaves it be.
    void setUntitledIsExample(bool example) { untitledIsExample_ = example; }
    // kind 0 = memory channels, 1 = log. The dialog proposes "Frequency.txt"
    // or "Log.txt" in the folder of the last export (at first the document's).
    void exportText(int kind);
    // Asks whether to save a modified document; false when the user cancels
    // or the save fails, so that the caller stops what it was doing.
    bool saveModified();

    // The recent files, newest first, as they are stored.
    QStringList recentFiles() const;
    QString path() const { return path_; }
    // Another program held the file when it was opened: it is not saved over.
    bool readOnly() const { return readOnly_; }
    QString title() const;
    QString dataDirectory() const { return dataDirectory_; }

signals:
    void titleChanged(const QString& title);
    void recentListChanged();

private:
    bool readInto(const QString& path);
    bool writeTo(const QString& path);
    // Writes over the open document's own file, asking first (when `mayAsk`)
    // if it changed on disk since it was read or saved here.
    bool replaceOwnFile(bool mayAsk);
    // Writes to `path`, another file than the open one, which then becomes
    // the document's file; refused when another program holds it.
    bool saveAsNewFile(const QString& path);
    void holdDocument(const QString& path, DocumentLock lock);
    void letGoOfDocument();
    bool changedOnDisk() const;
    QString readOnlyReason() const;
    bool withPortClosed(const std::function<bool(std::string&)>& fileOperation);
    void documentReplaced();
    void setPath(const QString& path);
    void addRecent(const QString& path);
    void removeRecent(const QString& path);
    QString proposedSavePath() const;
    QString freeDocumentPath() const;
    static constexpr int kMaxFreeNameTries = 1000;
    QString documentDirectory() const;

    DocumentFile& document_;
    Notifier& notifier_;
    FileDialogs& dialogs_;
    QString dataDirectory_;
    Hooks hooks_;
    RecentFileList& recent_;
    QString path_;
    DocumentLock lock_;
    // The file as this program last read or wrote it.
    std::optional<FileStamp> stamp_;
    bool readOnly_ = false;
    bool untitledIsExample_ = false;
    QString lastExportDirectory_; // empty until the first export
};

} // namespace kovo
