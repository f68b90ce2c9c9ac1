#pragma once
#include "ui/PanelBase.h"
#include "ui/ViewInterfaces.h"
#include "ui/database/DatabaseList.h"
#include "ui/database/DatabaseSeams.h"
#include "ui/database/presenter/DatabasePresenter.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QComboBox;
class QMenu;

namespace kovo {

class CKovo5Doc;
class DatabaseModel;
class ImageKey;
class Notifier;
class StatisticsView;
struct AppSettings;
struct PanelFonts;

// The header line above the lists: amber text on the cell grid of the lists.
class DatabaseHeader : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override;
};

// The database panel: seven lists of the channel database (memory channels,
// banks, search banks, pass ranges, auto-mode ranges, search strings, log)
// and the statistics chart of the log, switched by seven view keys. It makes
// and lays out the widgets and hands what the user does to its presenter,
// which decides what the lists show and what the commands change.
class DatabasePanel : public PanelBase, public DatabaseListSink {
    Q_OBJECT
public:
    struct Ports {
        CKovo5Doc& doc;
        const AppSettings& settings;
        Notifier& notifier;
    };

    // Control and command numbers.
    static constexpr int kFirstViewButton = 3020;
    static constexpr int kSearchBackward = 3027;
    static constexpr int kSearchForward = 3028;
    static constexpr int kFirstList = 3600;

    DatabasePanel(Ports ports, const PanelFonts& fonts, QWidget* parent = nullptr);
    ~DatabasePanel() override;

    // The receiver core and the program around the panel; without them the
    // hold is a plain flag, rows are not tuned and questions go to the
    // message boxes.
    void setCore(DatabaseCore* core);
    void setHost(DatabaseHost* host);
    DatabasePresenter& presenter() const { return *presenter_; }

    // ---- views ----
    void refreshAll();
    // Shows view v (0..7) without storing it.
    void showView(int v);
    int shownView() const;
    // The commands of the view keys (3020..3026) and the search keys (3027, 3028).
    void onViewButton(int id);
    DatabaseList& list(int view) const { return *lists_[std::size_t(view)]; }
    // The list of the current view (views 0 to 6).
    DatabaseList& currentList() const;
    DatabaseModel& model(int view) const { return *models_[std::size_t(view)]; }

    // ---- lists ----
    void selectChannel(int r);
    // Views 1 to 6: whole-list rebuild.
    void rebuildList(int view);
    void selectLinkSet(int k);
    void search(bool forward);

    // ---- DatabaseListSink (scan engine and main menu) ----
    // Each leaves the lists alone while the hold is set.
    void selectChannelRow(int row) override { selectChannel(row); }
    void bringChannelRowIntoView(int row) override;
    void selectNewestLogEntry() override;
    void selectLogCaretRow() override;
    void chooseLinkSet(int set) override { selectLinkSet(set); }

    // ---- context menus and commands ----
    // Steps of a right-click at a point of the list's viewport up to showing
    // the menu: selection, the menu of the view with its check marks, the
    // chosen items, the hold. The caller shows it.
    std::unique_ptr<QMenu> prepareContextMenu(DatabaseList& list, QPoint viewportPos);
    // The menu on screen, if any.
    QMenu* openMenu() const { return openMenu_.data(); }
    void runCommand(int command);
    // Double-click or Enter on the caret row of a list.
    void activateRow(DatabaseList& list);

    // Where the items chosen for the last menu or editor are now.
    std::vector<int> chosenRows() const;
    QComboBox& searchCombo() const { return *searchCombo_; }
    QComboBox& linkSetCombo() const { return *linkSetCombo_; }
    QLabel& headerLine() const { return *header_; }
    ImageKey& viewButton(int view) const { return *viewButtons_[std::size_t(view)]; }
    StatisticsView& statistics() const { return *statistics_; }
    bool held() const;

protected:
    void paintBackdrop(QPainter& p) override;
    void showEvent(QShowEvent* event) override;

private:
    class Screen;

    void createChildren(const PanelFonts& fonts);
    void connectList(DatabaseList& list);
    // A right-click: the prepared menu pops up without waiting for it to
    // close; the hold lasts while it is open.
    void showContextMenu(DatabaseList& list, QPoint viewportPos);
    void onLinkSetRenamed(const QString& text);
    // The widgets' side of showing a view: keys, header, list, boxes.
    void showViewWidgets(int v);
    void reloadSearchCombo();
    void reloadLinkSetCombo();
    void showLinkSetInCombo(int k);
    int viewOf(const DatabaseList& list) const { return list.id() - kFirstList; }

    Ports ports_;
    std::unique_ptr<Screen> screen_;
    std::unique_ptr<DatabasePresenter> presenter_;
    QPointer<QMenu> openMenu_;

    std::array<DatabaseModel*, 7> models_{};
    std::array<DatabaseList*, 7> lists_{};
    std::array<ImageKey*, 7> viewButtons_{};
    ImageKey* searchBackward_ = nullptr;
    ImageKey* searchForward_ = nullptr;
    QComboBox* searchCombo_ = nullptr;
    QComboBox* linkSetCombo_ = nullptr;
    DatabaseHeader* header_ = nullptr;
    StatisticsView* statistics_ = nullptr;
};

} // namespace kovo
