#pragma once
#include "data/ChannelCsv.h"
#include "data/CsvReader.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kovo {

class CKovo5Doc;
class Notifier;

// The preview of a CSV import: which columns hold the frequency (with its
// unit), the comment, the mode and the step (set from CHIRP's header or
// guessed, and changeable for any other file), the bank the channels go to,
// the first rows as they would be imported, and the counts. "Import" is
// offered only when there is a frequency column and the channels fit.
class ChannelImportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 12;

    ChannelImportDialog(const CsvTable& table, const CKovo5Doc& doc, QWidget* parent = nullptr);

    const ImportPlan& plan() const { return plan_; }
    const CsvColumns& columns() const { return columns_; }
    int bank() const;

    // For tests: the controls by role.
    QComboBox* frequencyColumnBox() const { return frequency_; }
    QComboBox* unitBox() const { return unit_; }
    QComboBox* commentColumnBox() const { return comment_; }
    QComboBox* bankBox() const { return bank_; }
    QTableWidget* preview() const { return preview_; }
    QLabel* countsLabel() const { return counts_; }
    QPushButton* importButton() const { return import_; }

private:
    QComboBox* addColumnBox(const QString& accessibleName, int chosen);
    void readColumns();
    void replan();
    void fillPreview();

    const CsvTable& table_;
    const CKovo5Doc& doc_;
    CsvColumns columns_;
    ImportPlan plan_;
    QComboBox* frequency_ = nullptr;
    QComboBox* unit_ = nullptr;
    QComboBox* comment_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* step_ = nullptr;
    QComboBox* bank_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QLabel* counts_ = nullptr;
    QPushButton* import_ = nullptr;
};

// File ▸ "Import channels…": reads the chosen CSV file with a cancellable
// progress bar, refuses a file that is not CSV with the reason, shows the
// preview and, once the user confirms, stores the channels into the document
// (which is then modified, not saved) and tells the summary.
class ChannelImportCommand {
public:
    struct Seams {
        std::function<QString()> chooseFile; // empty: cancelled
        std::function<bool(ChannelImportDialog&)> confirm;
    };
    ChannelImportCommand(CKovo5Doc& doc, Notifier& notifier, Seams seams, QWidget* parent);
    // True when channels were stored.
    bool run();

    static Seams interactiveSeams(QWidget* parent);

private:
    bool readFile(const QString& path, CsvTable& table);

    CKovo5Doc& doc_;
    Notifier& notifier_;
    Seams seams_;
    QWidget* parent_;
};

} // namespace kovo
