#include "ChannelImportDialog.h"

#include "data/CKovo5Doc.h"
#include "data/ChannelImport.h"
#include "data/Cp932.h"
#include "data/FileIo.h"
#include "data/Notifier.h"
#include "data/UiText.h"
#include "data/ValueTables.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstring>

namespace kovo {
namespace {

constexpr int kNoColumn = -1;

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString megahertz(std::uint32_t hz) {
    return QStringLiteral("%1.%2")
        .arg(hz / 1'000'000u)
        .arg(hz % 1'000'000u, 6, 10, QLatin1Char('0'));
}

// Whether the document has a channel at `hz` (its channels are in order of
// frequency).
bool holdsFrequency(const CKovo5Doc& doc, std::uint32_t hz) {
    const auto* first = doc.channels.data();
    const auto* last = first + doc.channelCount;
    const auto* found = std::lower_bound(first, last, hz, [](const auto& channel, std::uint32_t f) {
        return channel->frequency < f;
    });
    return found != last && (*found)->frequency == hz;
}

// What became of one row, for the preview.
struct RowPreview {
    QString frequency, mode, step, comment, result;
};

RowPreview previewOf(const CsvRow& row, const CsvColumns& columns, const CsvDefaults& defaults,
                     const ImportPlan& plan, const CKovo5Doc& doc) {
    ImportPlan scratch;
    const auto channel = channelOfRow(row, columns, defaults, scratch);
    RowPreview p;
    if (!channel) {
        for (int k = 0; k < kCsvProblemCount; ++k)
            if (scratch.problems[static_cast<std::size_t>(k)].count > 0)
                p.result =
                    QStringLiteral("left out: ") + utf8(csvProblemText(static_cast<CsvProblem>(k)));
        return p;
    }
    p.frequency = megahertz(channel->frequency);
    p.mode = utf8(modeName(channel->mode));
    p.step = utf8(uiText("StepNames", std::string(stepName(channel->step)).c_str())).trimmed();
    p.comment = utf8(cp932ToUtf8(channel->comment));
    const bool isNew = std::any_of(plan.channels.begin(), plan.channels.end(),
                                   [&](const CsvChannel& c) { return c.line == row.line; });
    if (isNew)
        p.result = channel->pass ? QStringLiteral("new, pass channel") : QStringLiteral("new");
    else if (holdsFrequency(doc, channel->frequency))
        p.result = QStringLiteral("already stored: left as it is");
    else
        p.result = QStringLiteral("repeated: the first row is imported");
    return p;
}

// A bank as the bank menus name it: "00 : Other", "03 : Repeaters", "21 :
// Pass Channel"; banks 0 and 21 keep those names whatever name they hold.
QString bankLabel(const CKovo5Doc& doc, int bank) {
    QString name = utf8(cp932ToUtf8(doc.memoryBanks[static_cast<std::size_t>(bank)].name));
    if (bank == 0)
        name = QStringLiteral("Other");
    else if (bank == kPassBank)
        name = QStringLiteral("Pass Channel");
    return QStringLiteral("%1 : %2").arg(bank, 2, 10, QLatin1Char('0')).arg(name).trimmed();
}

} // namespace

ChannelImportDialog::ChannelImportDialog(const CsvTable& table, const CKovo5Doc& doc,
                                         QWidget* parent)
    : QDialog(parent), table_(table), doc_(doc), columns_(guessColumns(table)) {
    setWindowTitle(QStringLiteral("Import channels"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    const QString shape = columns_.chirp ? QStringLiteral("CHIRP channel list")
                                         : QStringLiteral("CSV file: choose the columns");
    const QString encoding = table.encoding == TextEncoding::Utf8
                                 ? QStringLiteral("UTF-8")
                                 : QStringLiteral("Shift-JIS (CP932)");
    auto* kind = new QLabel(shape + QStringLiteral(", ") + encoding, this);
    kind->setAccessibleName(QStringLiteral("File kind"));
    form->addRow(QStringLiteral("File:"), kind);

    frequency_ = addColumnBox(QStringLiteral("Frequency column"), columns_.frequency);
    form->addRow(QStringLiteral("&Frequency:"), frequency_);
    unit_ = new QComboBox(this);
    unit_->setAccessibleName(QStringLiteral("Frequency unit"));
    for (FrequencyUnit u : {FrequencyUnit::Hz, FrequencyUnit::kHz, FrequencyUnit::MHz})
        unit_->addItem(utf8(frequencyUnitName(u)), static_cast<int>(u));
    unit_->setCurrentIndex(unit_->findData(static_cast<int>(columns_.unit)));
    form->addRow(QStringLiteral("&Unit:"), unit_);
    comment_ = addColumnBox(QStringLiteral("Comment column"),
                            columns_.comment >= 0 ? columns_.comment : columns_.name);
    form->addRow(QStringLiteral("&Comment:"), comment_);
    mode_ = addColumnBox(QStringLiteral("Mode column"), columns_.mode);
    form->addRow(QStringLiteral("&Mode:"), mode_);
    step_ = addColumnBox(QStringLiteral("Step column (kHz)"), columns_.step);
    form->addRow(QStringLiteral("&Step (kHz):"), step_);
    // CHIRP's columns are known: nothing to choose.
    for (QComboBox* box : {frequency_, unit_, comment_, mode_, step_})
        box->setEnabled(!columns_.chirp);

    bank_ = new QComboBox(this);
    bank_->setAccessibleName(QStringLiteral("Bank"));
    for (int b = 0; b < kBankCount; ++b)
        bank_->addItem(bankLabel(doc, b), b);
    form->addRow(QStringLiteral("&Into bank:"), bank_);

    preview_ = new QTableWidget(0, 6, this);
    preview_->setAccessibleName(QStringLiteral("Preview of the first rows"));
    preview_->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("MHz"),
                                         QStringLiteral("Mode"), QStringLiteral("Step"),
                                         QStringLiteral("Comment"), QStringLiteral("Import")});
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->hide();
    preview_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(preview_);

    counts_ = new QLabel(this);
    counts_->setAccessibleName(QStringLiteral("Counts"));
    counts_->setWordWrap(true);
    layout->addWidget(counts_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    import_ = buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
    import_->setAccessibleName(QStringLiteral("Import"));
    import_->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (QComboBox* box : {frequency_, unit_, comment_, mode_, step_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            readColumns();
            replan();
        });
    connect(frequency_, &QComboBox::currentIndexChanged, this, [this] {
        // A new frequency column brings its own guess of the unit.
        const QSignalBlocker blocker(unit_);
        unit_->setCurrentIndex(unit_->findData(
            static_cast<int>(guessFrequencyUnit(table_, frequency_->currentData().toInt()))));
        readColumns();
        replan();
    });
    replan();
    resize(640, 480);
}

QComboBox* ChannelImportDialog::addColumnBox(const QString& accessibleName, int chosen) {
    auto* box = new QComboBox(this);
    box->setAccessibleName(accessibleName);
    box->addItem(QStringLiteral("(none)"), kNoColumn);
    for (std::size_t i = 0; i < table_.header.size(); ++i)
        box->addItem(utf8(table_.header[i]), static_cast<int>(i));
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
    return box;
}

int ChannelImportDialog::bank() const {
    return bank_->currentData().toInt();
}

void ChannelImportDialog::readColumns() {
    if (columns_.chirp)
        return;
    columns_.frequency = frequency_->currentData().toInt();
    columns_.unit = static_cast<FrequencyUnit>(unit_->currentData().toInt());
    columns_.comment = comment_->currentData().toInt();
    columns_.name = kNoColumn;
    columns_.mode = mode_->currentData().toInt();
    columns_.step = step_->currentData().toInt();
}

void ChannelImportDialog::replan() {
    if (columns_.frequency < 0) {
        plan_ = ImportPlan{};
        counts_->setText(QStringLiteral("Choose the column that holds the frequency."));
        import_->setEnabled(false);
        preview_->setRowCount(0);
        return;
    }
    plan_ = planImport(table_, columns_, doc_, importDefaultsOf(doc_));
    counts_->setText(utf8(importSummary(plan_)));
    import_->setEnabled(plan_.fits() && !plan_.channels.empty());
    fillPreview();
}

void ChannelImportDialog::fillPreview() {
    const int rows = std::min<int>(kPreviewRows, static_cast<int>(table_.rows.size()));
    preview_->setRowCount(rows);
    const CsvDefaults defaults = importDefaultsOf(doc_);
    for (int r = 0; r < rows; ++r) {
        const CsvRow& row = table_.rows[static_cast<std::size_t>(r)];
        const RowPreview p = previewOf(row, columns_, defaults, plan_, doc_);
        const QStringList cells{
            QString::number(row.line), p.frequency, p.mode, p.step, p.comment, p.result};
        for (int c = 0; c < cells.size(); ++c)
            preview_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    preview_->resizeColumnsToContents();
}

// ---- the command ----

ChannelImportCommand::ChannelImportCommand(CKovo5Doc& doc, Notifier& notifier, Seams seams,
                                           QWidget* parent)
    : doc_(doc), notifier_(notifier), seams_(std::move(seams)), parent_(parent) {}

ChannelImportCommand::Seams ChannelImportCommand::interactiveSeams(QWidget* parent) {
    return {[parent] {
                return QFileDialog::getOpenFileName(
                    parent, QStringLiteral("Import channels"), QString(),
                    QStringLiteral("CSV files (*.csv *.txt);;All files (*)"));
            },
            [](ChannelImportDialog& dialog) { return dialog.exec() == QDialog::Accepted; }};
}

bool ChannelImportCommand::readFile(const QString& path, CsvTable& table) {
    std::vector<std::uint8_t> bytes;
    int error = 0;
    const std::string name = path.toStdString();
    if (!readWholeFile(name, bytes, error)) {
        notifier_.showMessage(name + ": " + std::strerror(error));
        return false;
    }
    QProgressDialog progress(QStringLiteral("Reading %1").arg(path), QStringLiteral("Cancel"), 0,
                             1000, parent_);
    progress.setWindowTitle(QStringLiteral("Import channels"));
    progress.setAccessibleName(progress.windowTitle());
    progress.setMinimumDuration(500);
    progress.setWindowModality(Qt::WindowModal);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const CsvOutcome outcome =
        readCsv(text, table, [&progress](std::size_t done, std::size_t total) {
            progress.setValue(static_cast<int>(done * 1000 / std::max<std::size_t>(total, 1)));
            return !progress.wasCanceled();
        });
    progress.reset();
    if (outcome.status == CsvStatus::Refused)
        notifier_.showMessage(name + ": " + outcome.message + "\nNothing was imported.");
    return outcome.ok();
}

bool ChannelImportCommand::run() {
    const QString path = seams_.chooseFile();
    if (path.isEmpty())
        return false;
    CsvTable table;
    if (!readFile(path, table))
        return false;
    ChannelImportDialog dialog(table, doc_, parent_);
    if (!seams_.confirm(dialog))
        return false;
    const ImportOutcome outcome = applyImport(doc_, dialog.plan(), dialog.bank());
    notifier_.showMessage(outcome.applied ? importSummary(dialog.plan()) : outcome.message);
    return outcome.applied && outcome.stored > 0;
}

} // namespace kovo
