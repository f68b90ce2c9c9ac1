#include "ui/database/DatabasePanel.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/Notifier.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelFonts.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseModel.h"
#include "ui/database/StatisticsChart.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kovo {
namespace {

using namespace dblines;

constexpr const char* kNotFound = "見つかりません";

const QRect kListRect{7, 40, 541, 206};
const QRect kHeaderRect{7, 24, 541, 16};
const QRect kStatisticsRect{7, 40, 541, 206};
const QRect kSearchComboRect{8, 3, 144, 18};
const QRect kLinkSetComboRect{8, 3, 200, 18};
// Rows the two boxes' lists show when dropped down: the link-set list shows
// every set without scrolling.
constexpr int kSearchComboRows = 8;
constexpr int kLinkSetComboRows = kLinkSetCount;
const QRect kSearchBackwardRect{168, 4, 16, 16};
const QRect kSearchForwardRect{200, 4, 16, 16};
constexpr int kViewButtonLeft = 322;
constexpr int kViewButtonPitch = 32;

struct ViewKey {
    const char* caption;
    const char* name;
};
// The view keys: lettering on the key and the name a screen reader says.
constexpr ViewKey kViewKeys[kListViewCount] = {{"MEM", "Memory Channels"},
                                               {"BANK", "Memory Backup"},
                                               {"SRCH", "Scanning Conditions"},
                                               {"PASS", "Scan Block (PASS) Conditions"},
                                               {"AUTO", "Auto Mode Conditions"},
                                               {"STR", "Selection/Input Conditions"},
                                               {"LOG", "Log"}};

const char* const kListNames[kListViewCount] = {
    "Memory channel list",  "Memory bank list",   "Search bank list", "Pass range list",
    "Auto mode range list", "Search string list", "Log list"};

QString fromCp932(const std::string& text) {
    return QString::fromStdString(cp932ToUtf8(text));
}

// The combo boxes of the panel: green on black like the panels' lists, an
// edit field 13 pixels high and 12-pixel rows.
class ComboRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return {QStyledItemDelegate::sizeHint(o, i).width(), DatabaseList::kRowHeight};
    }
};

QComboBox* makeCombo(const QRect& r, int visibleRows, const QFont& font, const QString& name,
                     QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setGeometry(r);
    combo->setFont(font);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is what is searched for or named: no completion from the
    // list, which would search for a longer stored text or switch sets.
    combo->setCompleter(nullptr);
    combo->setMaxVisibleItems(visibleRows);
    combo->setItemDelegate(new ComboRows(combo));
    combo->setAccessibleName(name);
    combo->setStyleSheet(QStringLiteral(
        "QComboBox{background:black;color:rgb(0,255,0);border:1px solid rgb(96,112,150);"
        "padding:0px 2px;combobox-popup:0;}"
        "QComboBox::drop-down{width:10px;border:0px;background:rgb(36,46,72);}"
        "QComboBox::down-arrow{width:0px;height:0px;border-left:3px solid transparent;"
        "border-right:3px solid transparent;border-top:4px solid rgb(0,230,0);}"
        "QComboBox QAbstractItemView{background:black;color:rgb(0,255,0);"
        "selection-background-color:rgb(0,96,0);border:1px solid rgb(96,112,150);}"));
    return combo;
}

// Questions go to the message boxes; there is no recorder.
class PlainHost final : public DatabaseHost {
public:
    explicit PlainHost(Notifier& notifier) : notifier_(notifier) {}
    bool confirmDeleteData(const std::string& question) override {
        return notifier_.askYesNo(question);
    }
    bool recorderLinked() const override { return false; }
    bool startPlayback(std::uint32_t, std::int32_t, const std::string&) override { return false; }
    void stopPlayback() override {}
    void tunedFromList(std::uint32_t, const std::string&) override {}
    void bankNamesChanged() override {}

private:
    Notifier& notifier_;
};

} // namespace

// ---- header ----

void DatabaseHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), art::kStaticGreen);
    p.setPen(art::kAmber);
    p.setFont(font());
    const QFontMetrics fm(font());
    const int baseline = (height() - fm.height()) / 2 + fm.ascent();
    int x = DatabaseList::kTextInset;
    const QString t = text();
    for (QChar c : t) {
        const int cell = DatabaseList::kCellWidth * columnsOf(c.unicode());
        if (c != QLatin1Char(' '))
            p.drawText(x + (cell - fm.horizontalAdvance(c)) / 2, baseline, QString(c));
        x += cell;
    }
}

// ---- creation ----

DatabasePanel::DatabasePanel(Ports ports, const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::DataBase, parent), ports_(ports),
      defaultHost_(std::make_unique<PlainHost>(ports.notifier)) {
    host_ = defaultHost_.get();
    createChildren(fonts);
    subscription_ =
        ports_.doc.changes().subscribe([this](const DocumentChange& c) { onDocumentChange(c); });
}

DatabasePanel::~DatabasePanel() = default;

// A document read or started anew holds none of the items chosen in the old
// one: open editors close without storing, and answers still to come find
// nothing to act on.
void DatabasePanel::onDocumentChange(const DocumentChange& change) {
    if (change.kind != DocumentChange::Kind::DocumentReplaced)
        return;
    ++documentGeneration_;
    chosen_ = {};
    edited_ = {};
    for (DatabaseList* l : lists_)
        if (l->editorOpen())
            discardEdit(*l);
}

void DatabasePanel::setHost(DatabaseHost* host) {
    host_ = host ? host : defaultHost_.get();
}

void DatabasePanel::createChildren(const PanelFonts& fonts) {
    const QFont& font = fonts.small;
    for (int v = 0; v < kListViewCount; ++v) {
        auto* key = new ImageKey(
            kFirstViewButton + v, QRect(kViewButtonLeft + kViewButtonPitch * v, 4, 32, 16),
            {QString::fromLatin1(kViewKeys[v].caption), QString::fromLatin1(kViewKeys[v].caption)},
            art::KeyStyle::Standard, this);
        key->setSpokenName(QString::fromLatin1(kViewKeys[v].name));
        key->setFocusPolicy(Qt::TabFocus);
        connect(key, &ImageKey::activated, this, &DatabasePanel::onViewButton);
        viewButtons_[std::size_t(v)] = key;
    }
    searchBackward_ = new ImageKey(kSearchBackward, kSearchBackwardRect, {QStringLiteral("\u25C0")},
                                   art::KeyStyle::CyanText, this);
    searchForward_ = new ImageKey(kSearchForward, kSearchForwardRect, {QStringLiteral("\u25B6")},
                                  art::KeyStyle::CyanText, this);
    searchBackward_->setSpokenName(QStringLiteral("Search backward"));
    searchForward_->setSpokenName(QStringLiteral("Search forward"));
    for (ImageKey* key : {searchBackward_, searchForward_}) {
        key->setFocusPolicy(Qt::TabFocus);
        connect(key, &ImageKey::activated, this, &DatabasePanel::onViewButton);
    }
    searchCombo_ =
        makeCombo(kSearchComboRect, kSearchComboRows, font, QStringLiteral("Search text"), this);
    linkSetCombo_ = makeCombo(kLinkSetComboRect, kLinkSetComboRows, font,
                              QStringLiteral("Bank link set"), this);
    connect(linkSetCombo_, &QComboBox::activated, this, &DatabasePanel::onLinkSetChosen);
    connect(linkSetCombo_->lineEdit(), &QLineEdit::textEdited, this,
            &DatabasePanel::onLinkSetRenamed);

    header_ = new DatabaseHeader(this);
    header_->setGeometry(kHeaderRect);
    header_->setFont(font);
    header_->setTextFormat(Qt::PlainText);
    header_->setAccessibleName(QStringLiteral("Columns"));

    for (int v = 0; v < kListViewCount; ++v) {
        auto* model = new DatabaseModel(ports_.doc, v, this);
        auto* list = new DatabaseList(kFirstList + v, *model, font, this);
        list->setGeometry(kListRect);
        list->setAccessibleName(QString::fromLatin1(kListNames[v]));
        list->setVisible(v == 0);
        models_[std::size_t(v)] = model;
        lists_[std::size_t(v)] = list;
        connectList(*list);
        // After the list's own handling of the same signals.
        const auto follow = [this, v] { followEditedItem(v); };
        connect(model, &QAbstractItemModel::rowsInserted, this, follow);
        connect(model, &QAbstractItemModel::rowsRemoved, this, follow);
        connect(model, &QAbstractItemModel::rowsMoved, this, follow);
        connect(model, &QAbstractItemModel::modelReset, this, follow);
    }
    statistics_ = new StatisticsView(ports_.doc, font, this);
    statistics_->setGeometry(kStatisticsRect);
    statistics_->hide();
}

void DatabasePanel::connectList(DatabaseList& list) {
    connect(&list, &DatabaseList::contextMenuWanted, this,
            [this](DatabaseList* l, QPoint pos, bool) { showContextMenu(*l, pos); });
    connect(&list, &DatabaseList::rowActivated, this, [this](DatabaseList* l) { activateRow(*l); });
    connect(&list, &DatabaseList::editWanted, this,
            [this](DatabaseList* l) { editFirstField(*l); });
    connect(&list, &DatabaseList::editorLeft, this, [this](DatabaseList* l) { finishEdit(*l); });
    connect(&list, &DatabaseList::scrolledByUser, this, [this](DatabaseList* l) {
        if (l->editorOpen())
            discardEdit(*l);
        holdForAWhile();
    });
}

void DatabasePanel::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect());
    // The recessed window that holds the header and the lists.
    art::drawWell(p, QRect(5, 22, 545, 226), Qt::black);
    p.setFont(art::letteringFont(10));
    p.setPen(art::kLetterYellow);
    p.drawText(QRect(222, 4, 96, 16), Qt::AlignCenter, QStringLiteral("DATA BASE"));
}

// ---- hold ----

bool DatabasePanel::held() const {
    return core_ ? core_->isHeld() : localHold_;
}

void DatabasePanel::holdForAWhile() {
    if (core_)
        core_->holdForAWhile();
    else
        localHold_ = true;
}

void DatabasePanel::holdUntilCleared() {
    if (core_)
        core_->holdUntilCleared();
    else
        localHold_ = true;
}

void DatabasePanel::releaseHold() {
    if (core_)
        core_->releaseHold();
    else
        localHold_ = false;
}

// ---- views ----

DatabaseList& DatabasePanel::currentList() const {
    const int v = std::clamp(ports_.doc.controlParams.databaseView, 0, kListViewCount - 1);
    return list(v);
}

void DatabasePanel::refreshAll() {
    CKovo5Doc& d = ports_.doc;
    rebuildChannels();
    rebuildLinkSetCombo();
    for (int v = BankView; v < kListViewCount; ++v)
        rebuildList(v);
    rebuildSearchCombo();
    selectChannel(d.controlParams.p4C);
    showView(std::clamp(d.controlParams.databaseView, 0, kListViewCount - 1));
}

void DatabasePanel::showView(int v) {
    if (v < 0 || v >= kViewCount)
        return;
    shownView_ = v;
    if (v < kListViewCount)
        for (int k = 0; k < kListViewCount; ++k)
            viewButtons_[std::size_t(k)]->setState(k == v ? 1 : 0);
    if (v == BankView)
        rebuildList(BankView);
    header_->setText(header(ports_.doc, v));
    for (int k = 0; k < kListViewCount; ++k)
        lists_[std::size_t(k)]->setVisible(k == v);
    statistics_->setVisible(v == ChartView);
    if (v == ChartView)
        statistics_->chart().update();
    const bool searchable = v == ChannelView || v == LogView;
    searchCombo_->setVisible(searchable);
    searchBackward_->setVisible(searchable);
    searchForward_->setVisible(searchable);
    linkSetCombo_->setVisible(v == BankView);
}

void DatabasePanel::onViewButton(int id) {
    if (id == kSearchBackward || id == kSearchForward) {
        search(id == kSearchForward);
        return;
    }
    const int v = id - kFirstViewButton;
    if (v < 0 || v >= kListViewCount)
        return;
    DatabaseList& current = currentList();
    if (current.editorOpen())
        discardEdit(current);
    ports_.doc.controlParams.databaseView = v;
    showView(v);
}

// ---- lists ----

void DatabasePanel::rebuildChannels() {
    DatabaseList& l = list(ChannelView);
    const int caret = l.caretRow();
    const int top = l.topRow();
    edits::numberChannelsWithinBanks(ports_.doc);
    model(ChannelView).rebuild();
    l.setTopRow(top);
    l.setCaretRow(std::min(caret, l.rowCount() - 1));
}

void DatabasePanel::rebuildChannelsKeepingPlace() {
    DatabaseList& l = list(ChannelView);
    const std::vector<int> selected = l.selectedRows();
    const int top = l.topRow();
    const int caret = l.caretRow();
    rebuildChannels();
    l.selectRows(selected);
    l.setTopRow(top);
    l.setCaretRow(caret);
}

void DatabasePanel::rebuildChannelsAndSelect(int r) {
    rebuildChannels();
    selectChannel(r);
}

void DatabasePanel::selectChannel(int r) {
    if (held())
        return;
    DatabaseList& l = list(ChannelView);
    const int n = l.rowCount();
    if (r < 0 || r >= n)
        return;
    ports_.doc.controlParams.p4C = r;
    // A hidden panel draws nothing: it brings the row into view when shown,
    // rather than on every step of a scan.
    if (isHidden()) {
        channelRowDeferred_ = true;
        return;
    }
    channelRowDeferred_ = false;
    int top = l.topRow();
    if (r < top || r >= top + DatabaseList::kVisibleRows) {
        if (n <= DatabaseList::kVisibleRows)
            top = 0;
        else if (r > n - 8)
            top = n - DatabaseList::kVisibleRows;
        else
            top = r - 8;
    }
    l.clearSelection();
    l.setTopRow(top);
    l.setCaretRow(r);
    l.selectRow(r);
}

void DatabasePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (channelRowDeferred_)
        selectChannel(ports_.doc.controlParams.p4C);
}

void DatabasePanel::rebuildList(int view) {
    if (view == ChannelView) {
        rebuildChannels();
        return;
    }
    if (view < 0 || view >= kListViewCount)
        return;
    if (view == BankView)
        ports_.doc.countChannelsPerBank();
    model(view).rebuild();
    if (view == LogView)
        list(LogView).setCaretRow(list(LogView).rowCount() - 1);
}

void DatabasePanel::rebuildSearchCombo() {
    const QString typed = searchCombo_->currentText();
    const QSignalBlocker block(searchCombo_);
    searchCombo_->clear();
    for (const std::string& s : ports_.doc.searchStrings)
        if (!s.empty())
            searchCombo_->addItem(fromCp932(s));
    searchCombo_->setEditText(typed);
}

void DatabasePanel::rebuildLinkSetCombo() {
    const CKovo5Doc& d = ports_.doc;
    const QSignalBlocker block(linkSetCombo_);
    linkSetCombo_->clear();
    for (const std::string& name : d.linkSetNames)
        linkSetCombo_->addItem(fromCp932(name));
    const int k = std::clamp(d.controlParams.currentLinkSet, 0, kLinkSetCount - 1);
    linkSetCombo_->setCurrentIndex(k);
    linkSetCombo_->setEditText(fromCp932(d.linkSetNames[std::size_t(k)]));
}

void DatabasePanel::onLinkSetChosen(int k) {
    if (!ports_.doc.setCurrentLinkSet(k))
        return;
    rebuildList(BankView);
}

void DatabasePanel::onLinkSetRenamed(const QString& text) {
    const int k = ports_.doc.controlParams.currentLinkSet;
    if (!ports_.doc.renameLinkSet(k, utf8ToCp932(text.toStdString())))
        return;
    // Replacing the item's text rewrites the edit field; the cursor and any
    // selection stay where the user is typing.
    QLineEdit* edit = linkSetCombo_->lineEdit();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = edit->selectionLength();
    const QSignalBlocker block(linkSetCombo_);
    linkSetCombo_->setItemText(k, text);
    if (edit->text() != text)
        edit->setText(text);
    if (selectionLength == 0)
        edit->setCursorPosition(cursor);
    else if (cursor == selectionStart)
        edit->setSelection(selectionStart + selectionLength, -selectionLength);
    else
        edit->setSelection(selectionStart, selectionLength);
}

void DatabasePanel::selectLinkSet(int k) {
    CKovo5Doc& d = ports_.doc;
    if (!d.setCurrentLinkSet(k))
        return;
    {
        const QSignalBlocker block(linkSetCombo_);
        linkSetCombo_->setCurrentIndex(k);
        linkSetCombo_->setEditText(fromCp932(d.linkSetNames[std::size_t(k)]));
    }
    rebuildList(BankView);
    if (d.controlParams.mode() == OperatingMode::MemoryScan && core_)
        core_->setOperatingMode(OperatingMode::MemoryScan);
}

// ---- search ----

void DatabasePanel::search(bool forward) {
    const QString text = searchCombo_->currentText();
    if (text.isEmpty())
        return;
    if (ports_.doc.controlParams.databaseView == ChannelView)
        searchChannels(text, forward);
    else
        searchLog(text, forward);
}

namespace {
// The first row after (or before) `from` whose line holds `text`, or -1.
int findRow(const CKovo5Doc& doc, int view, int from, int rows, const QString& text, bool forward) {
    const int step = forward ? 1 : -1;
    for (int r = from + step; r >= 0 && r < rows; r += step)
        if (line(doc, view, r).contains(text, Qt::CaseSensitive))
            return r;
    return -1;
}
} // namespace

void DatabasePanel::searchChannels(const QString& text, bool forward) {
    DatabaseList& l = list(ChannelView);
    if (l.rowCount() == 0)
        return;
    const int k = l.caretRow();
    l.clearSelection();
    const int r = findRow(ports_.doc, ChannelView, k, l.rowCount(), text, forward);
    if (r < 0) {
        ports_.notifier.showMessage(kNotFound);
        return;
    }
    selectChannel(r);
}

void DatabasePanel::searchLog(const QString& text, bool forward) {
    DatabaseList& l = list(LogView);
    if (l.rowCount() == 0)
        return;
    const int k = l.caretRow();
    l.clearSelection();
    const int r = findRow(ports_.doc, LogView, k, l.rowCount(), text, forward);
    if (r < 0) {
        ports_.notifier.showMessage(kNotFound);
        return;
    }
    if (r >= DatabaseList::kVisibleRows)
        l.setTopRow(r - 8);
    l.selectRow(r);
    l.setCaretRow(r);
}

// ---- the scan engine's calls ----

void DatabasePanel::bringChannelRowIntoView(int row) {
    DatabaseList& l = list(ChannelView);
    if (!held() && row >= 0 && row < l.rowCount())
        l.scrollTo(model(ChannelView).index(row), QAbstractItemView::EnsureVisible);
}

void DatabasePanel::selectNewestLogEntry() {
    DatabaseList& l = list(LogView);
    const int count = l.rowCount();
    if (held() || count == 0)
        return;
    l.clearSelection();
    l.selectRow(count - 1);
    if (count > DatabaseList::kVisibleRows)
        l.setTopRow(count - DatabaseList::kVisibleRows);
    l.setCaretRow(count - 1);
}

void DatabasePanel::selectLogCaretRow() {
    if (held())
        return;
    DatabaseList& l = list(LogView);
    const int caret = l.caretRow();
    l.clearSelection();
    l.selectRow(caret);
    l.setCaretRow(caret);
}

// ---- context menu ----

void DatabasePanel::showContextMenu(DatabaseList& list, QPoint viewportPos) {
    if (openMenu_)
        openMenu_->close();
    std::unique_ptr<QMenu> menu = prepareContextMenu(list, viewportPos);
    if (!menu)
        return;
    // While the menu is open the lists stay where the user is looking; once
    // it closes the hold runs out in its usual time, unless the command
    // chosen (which comes after the menu hides) says otherwise.
    holdUntilCleared();
    QMenu* m = menu.release();
    connect(m, &QMenu::aboutToHide, this, [this, m] {
        holdForAWhile();
        m->deleteLater();
    });
    openMenu_ = m;
    m->popup(list.viewport()->mapToGlobal(viewportPos));
}

} // namespace kovo
