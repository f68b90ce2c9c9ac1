#pragma once
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace kovo {

// The file types the text export offers, in the order of the dialog's list.
enum class ExportFileType { Text, Csv, All };

// Where the text export writes and in which form.
struct ExportTarget {
    QString path; // empty: the user cancelled
    bool csv = false;
};

// The export dialog's file types as it lists them.
QStringList exportNameFilters();
// The file type of a name filter of exportNameFilters(); All for any other text.
ExportFileType exportFileTypeOf(const QString& nameFilter);

// The target for a name the user typed with a file type chosen. A name ending
// in ".txt" or ".csv" (any case) keeps its form: what the name says is what
// the file holds. Otherwise the chosen type decides: text gives columns, CSV
// comma-separated values, each adding its extension to a name without one;
// with all files, a name without extension becomes a .txt file in columns and
// any other extension gives CSV.
ExportTarget exportTargetFor(const QString& typedPath, ExportFileType chosen);

// The save dialog of the text export, proposing `proposedPath` (its folder is
// where the dialog starts). Choosing a file type makes its extension the one
// added to a name typed without one, so that the overwrite question names the
// file that will be written.
QFileDialog* createExportDialog(QWidget* parent, const QString& proposedPath);

} // namespace kovo
