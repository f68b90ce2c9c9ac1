#include "ui/database/DatabasePanel.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelFonts.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseMenus.h"
#include "ui/database/DatabaseModel.h"
#include "ui/database/StatisticsChart.h"
#include "ui/database/StorableText.h"

#include <QAbstractItemView>
#include <QAction>
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
    connect(linkSetCombo_, &QComboBox::activated, this,
            [this](int k) { presenter_->chooseLinkSet(k); });
    // The name is taken as the field shows it once made storable.
    keepTypedTextStorable(linkSetCombo_->lineEdit());
    connect(linkSetCombo_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { onLinkSetRenamed(linkSetCombo_->lineEdit()->text()); });

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
        const auto follow = [this, v] {
            if (presenter_)
                presenter_->editing().follow(v);
        };
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
            [this](DatabaseList* l) { presenter_->editing().editFirstField(viewOf(*l)); });
    connect(&list, &DatabaseList::editorLeft, this, [this](DatabaseList* l) {
        // The list says whether the editor was left to store (Enter, a click
        // elsewhere) or to discard (Escape).
        if (!l->editorOpen())
            return;
        const bool store = l->commitOnFocus();
        l->setCommitOnFocus(true);
        presenter_->editing().finish(viewOf(*l), store);
    });
    connect(&list, &DatabaseList::scrolledByUser, this, [this](DatabaseList* l) {
        if (l->editorOpen())
            presenter_->editing().discard(viewOf(*l));
        presenter_->holdForAWhile();
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

// ---- the screen the presenter drives ----

// The panel's widgets as the presenter sees them: list views by number,
// texts in UTF-8.
class DatabasePanel::Screen final : public DatabaseScreen {
public:
    explicit Screen(DatabasePanel& panel) : p_(panel) {}

    int rowCount(int v) const override { return p_.list(v).rowCount(); }
    int topRow(int v) const override { return p_.list(v).topRow(); }
    void setTopRow(int v, int row) override { p_.list(v).setTopRow(row); }
    int caretRow(int v) const override { return p_.list(v).caretRow(); }
    void setCaretRow(int v, int row) override { p_.list(v).setCaretRow(row); }
    std::vector<int> selectedRows(int v) const override { return p_.list(v).selectedRows(); }
    void selectRows(int v, const std::vector<int>& rows) override { p_.list(v).selectRows(rows); }
    void selectRow(int v, int row) override { p_.list(v).selectRow(row); }
    void clearSelection(int v) override { p_.list(v).clearSelection(); }
    void bringRowIntoView(int v, int row) override {
        p_.list(v).scrollTo(p_.model(v).index(row), QAbstractItemView::EnsureVisible);
    }
    void reloadRows(int v) override { p_.model(v).rebuild(); }
    std::string lineText(int v, int row) const override {
        return line(p_.ports_.doc, v, row).toStdString();
    }

    void showView(int v) override { p_.showViewWidgets(v); }
    bool isHidden() const override { return p_.isHidden(); }
    std::string searchText() const override { return p_.searchCombo_->currentText().toStdString(); }
    void reloadSearchStrings() override { p_.reloadSearchCombo(); }
    void reloadLinkSets() override { p_.reloadLinkSetCombo(); }
    void showLinkSet(int k) override { p_.showLinkSetInCombo(k); }

    bool editorOpen(int v) const override { return p_.list(v).editorOpen(); }
    void openEditor(const EditorRequest& r) override {
        p_.list(r.view).openEditors(
            r.row, r.view, DatabaseList::EditKind(int(r.kind)), r.firstColumn, r.secondColumn,
            r.width, QString::fromStdString(r.firstText), QString::fromStdString(r.secondText));
    }
    void closeEditor(int v) override { p_.list(v).closeEditors(); }
    void moveEditorTo(int v, int row) override { p_.list(v).moveEditorsTo(row); }
    std::string editorText(int v, int field) const override {
        const CellEditor* e = editor(v, field);
        return e ? e->text().toStdString() : std::string();
    }
    void refuseEntry(int v, int field) override {
        if (CellEditor* e = editor(v, field))
            e->refuse();
    }
    void focusEditor(int v) override {
        if (CellEditor* e = editor(v, 0))
            e->setFocus();
    }
    void returnToEditor(int v) override {
        if (CellEditor* e = editor(v, 0); e && e->isVisible())
            e->takeFocusBack();
    }

private:
    CellEditor* editor(int v, int field) const {
        DatabaseList& l = p_.list(v);
        return field == 0 ? l.firstEditor() : l.secondEditor();
    }

    DatabasePanel& p_;
};

// ---- creation ----

DatabasePanel::DatabasePanel(Ports ports, const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::DataBase, parent), ports_(ports),
      screen_(std::make_unique<Screen>(*this)) {
    createChildren(fonts);
    presenter_ = std::make_unique<DatabasePresenter>(
        DatabasePresenter::Ports{ports_.doc, ports_.settings, ports_.notifier, *screen_});
}

// The presenter goes first: it may still close editors through the screen.
DatabasePanel::~DatabasePanel() {
    presenter_.reset();
}

void DatabasePanel::setCore(DatabaseCore* core) {
    presenter_->setCore(core);
}

void DatabasePanel::setHost(DatabaseHost* host) {
    presenter_->setHost(host);
}

// ---- views ----

bool DatabasePanel::held() const {
    return presenter_->held();
}

DatabaseList& DatabasePanel::currentList() const {
    return list(presenter_->currentView());
}

void DatabasePanel::refreshAll() {
    presenter_->refreshAll();
}

void DatabasePanel::showView(int v) {
    presenter_->showView(v);
}

int DatabasePanel::shownView() const {
    return presenter_->shownView();
}

void DatabasePanel::showViewWidgets(int v) {
    if (v < kListViewCount)
        for (int k = 0; k < kListViewCount; ++k)
            viewButtons_[std::size_t(k)]->setState(k == v ? 1 : 0);
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
    if (id == kSearchBackward || id == kSearchForward)
        presenter_->search(id == kSearchForward);
    else
        presenter_->switchView(id - kFirstViewButton);
}

void DatabasePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    presenter_->screenShown();
}

// ---- lists ----

void DatabasePanel::selectChannel(int r) {
    presenter_->selectChannel(r);
}

void DatabasePanel::rebuildList(int view) {
    presenter_->rebuildList(view);
}

void DatabasePanel::selectLinkSet(int k) {
    presenter_->selectLinkSet(k);
}

void DatabasePanel::search(bool forward) {
    presenter_->search(forward);
}

void DatabasePanel::bringChannelRowIntoView(int row) {
    presenter_->bringChannelRowIntoView(row);
}

void DatabasePanel::selectNewestLogEntry() {
    presenter_->selectNewestLogEntry();
}

void DatabasePanel::selectLogCaretRow() {
    presenter_->selectLogCaretRow();
}

// ---- the two boxes ----

void DatabasePanel::reloadSearchCombo() {
    const QString typed = searchCombo_->currentText();
    const QSignalBlocker block(searchCombo_);
    searchCombo_->clear();
    for (const std::string& s : ports_.doc.searchStrings)
        if (!s.empty())
            searchCombo_->addItem(fromCp932(s));
    searchCombo_->setEditText(typed);
}

void DatabasePanel::reloadLinkSetCombo() {
    const QSignalBlocker block(linkSetCombo_);
    linkSetCombo_->clear();
    for (const std::string& name : ports_.doc.linkSetNames)
        linkSetCombo_->addItem(fromCp932(name));
    showLinkSetInCombo(std::clamp(ports_.doc.controlParams.currentLinkSet, 0, kLinkSetCount - 1));
}

void DatabasePanel::showLinkSetInCombo(int k) {
    const QSignalBlocker block(linkSetCombo_);
    linkSetCombo_->setCurrentIndex(k);
    linkSetCombo_->setEditText(fromCp932(ports_.doc.linkSetNames[std::size_t(k)]));
}

void DatabasePanel::onLinkSetRenamed(const QString& text) {
    const int k = ports_.doc.controlParams.currentLinkSet;
    if (!presenter_->renameLinkSet(text.toStdString()))
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

// ---- context menu and commands ----

std::unique_ptr<QMenu> DatabasePanel::prepareContextMenu(DatabaseList& list, QPoint viewportPos) {
    const int view = viewOf(list);
    const bool singleRowView = view == SearchStringView || view == LogView;
    // The clicked row is what the menu acts on: a click on a selected row
    // keeps the selection, a click elsewhere selects that row alone (the
    // scan's own selection of its channel included). The caret follows the
    // click, so an editor opens on the row clicked.
    const int row = list.rowNearest(viewportPos);
    if (singleRowView || !list.isRowSelected(row)) {
        list.clearSelection();
        list.selectRow(row);
    }
    list.setCaretRow(row);
    presenter_->choose(view);
    auto menu =
        dbmenus::buildMenu(ports_.doc, ports_.settings, view, presenter_->host().recorderLinked(),
                           dbmenus::checkedItems(ports_.doc, ports_.settings, view, chosenRows()));
    if (const DatabaseCore* core = presenter_->core())
        dbmenus::offerFeatures(*menu, core->receiverFeatures());
    for (QAction* a : dbmenus::commandActions(*menu)) {
        const int command = a->data().toInt();
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    presenter_->holdForAWhile();
    return menu;
}

void DatabasePanel::showContextMenu(DatabaseList& list, QPoint viewportPos) {
    if (openMenu_)
        openMenu_->close();
    std::unique_ptr<QMenu> menu = prepareContextMenu(list, viewportPos);
    if (!menu)
        return;
    // While the menu is open the lists stay where the user is looking; once
    // it closes the hold runs out in its usual time, unless the command
    // chosen (which comes after the menu hides) says otherwise.
    presenter_->holdUntilCleared();
    QMenu* m = menu.release();
    connect(m, &QMenu::aboutToHide, this, [this, m] {
        presenter_->holdForAWhile();
        m->deleteLater();
    });
    openMenu_ = m;
    m->popup(list.viewport()->mapToGlobal(viewportPos));
}

void DatabasePanel::runCommand(int command) {
    presenter_->commands().run(command);
}

void DatabasePanel::activateRow(DatabaseList& l) {
    presenter_->activateRow(viewOf(l));
}

std::vector<int> DatabasePanel::chosenRows() const {
    return presenter_->chosenRows();
}

} // namespace kovo
