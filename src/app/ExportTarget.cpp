#include "app/ExportTarget.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace kovo {

namespace {

struct FileTypeEntry {
    ExportFileType type;
    const char* filter;
    const char* suffix; // added to a name typed without extension
};

const FileTypeEntry fileTypes[] = {
    {ExportFileType::Text, QT_TRANSLATE_NOOP("ExportTarget", "テキストファイル (*.txt)"), "txt"},
    {ExportFileType::Csv, QT_TRANSLATE_NOOP("ExportTarget", "CSVファイル (*.csv)"), "csv"},
    {ExportFileType::All, QT_TRANSLATE_NOOP("ExportTarget", "すべてのファイル (*.*)"), "txt"},
};

const FileTypeEntry& entryFor(ExportFileType type) {
    for (const FileTypeEntry& entry : fileTypes)
        if (entry.type == type)
            return entry;
    return fileTypes[0];
}

QString filterText(const FileTypeEntry& entry) {
    return QCoreApplication::translate("ExportTarget", entry.filter);
}

} // namespace

QStringList exportNameFilters() {
    QStringList filters;
    for (const FileTypeEntry& entry : fileTypes)
        filters.append(filterText(entry));
    return filters;
}

ExportFileType exportFileTypeOf(const QString& nameFilter) {
    for (const FileTypeEntry& entry : fileTypes)
        if (nameFilter == filterText(entry))
            return entry.type;
    return ExportFileType::All;
}

ExportTarget exportTargetFor(const QString& typedPath, ExportFileType chosen) {
    if (typedPath.isEmpty())
        return {};
    const QString suffix = QFileInfo(typedPath).suffix();
    if (suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        return {typedPath, false};
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return {typedPath, true};
    if (suffix.isEmpty()) {
        const QString path = typedPath + QLatin1Char('.') + QLatin1String(entryFor(chosen).suffix);
        return {path, chosen == ExportFileType::Csv};
    }
    return {typedPath, chosen != ExportFileType::Text};
}

QFileDialog* createExportDialog(QWidget* parent, const QString& proposedPath) {
    auto* dialog = new QFileDialog(
        parent, QCoreApplication::translate("ExportTarget", "テキスト形式ファイル書き出し"),
        QFileInfo(proposedPath).absolutePath());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(exportNameFilters());
    dialog->setDefaultSuffix(QLatin1String(entryFor(ExportFileType::Text).suffix));
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(QLatin1String(entryFor(exportFileTypeOf(filter)).suffix));
    });
    dialog->selectFile(QFileInfo(proposedPath).fileName());
    return dialog;
}

} // namespace kovo
