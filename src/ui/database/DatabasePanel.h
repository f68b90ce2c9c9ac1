#pragma once
#include "ui/PanelBase.h"
#include "ui/ViewInterfaces.h"
#include "ui/database/DatabaseList.h"
#include "ui/database/DatabaseSeams.h"
#include "ui/database/HandedOverRows.h"

#include <QLabel>
#include <QMenu>

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
// and the statistics chart of the log, switched by seven view keys. Its list
// models follow the document's change notices; the panel moves selections
// and scroll positions as the scan engine asks, searches,
// switches bank-link sets, and carries out what its context menus, the
// in-place editor and double-clicks ask for. It changes only the document.
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
    void setCore(DatabaseCore* core) { core_ = core; }
    void setHost(DatabaseHost* host);

    // ---- views ----
    void refreshAll();
    // Shows view v (0..7) without storing it.
    void showView(int v);
    int shownView() const { return shownView_; }
    // The commands of the view keys (3020..3026) and the search keys (3027, 3028).
    void onViewButton(int id);
    DatabaseList& list(int view) const { return *lists_[std::size_t(view)]; }
    // The list of the current view (views 0 to 6).
    DatabaseList& currentList() const;
    DatabaseModel& model(int view) const { return *models_[std::size_t(view)]; }

    // ---- lists ----
    void rebuildChannels();
    void rebuildChannelsAndSelect(int r);
    void selectChannel(int r);
    // Views 1 to 6: whole-list rebuild.
    void rebuildList(int view);
    void rebuildSearchCombo();
    void rebuildLinkSetCombo();
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
    // selection list, the hold. The caller shows it.
    std::unique_ptr<QMenu> prepareContextMenu(DatabaseList& list, QPoint viewportPos);
    void runCommand(int command);
    // Double-click or Enter on the caret row of a list.
    void activateRow(DatabaseList& list);
    // F2: the editor of the view's first editable field.
    void editFirstField(DatabaseList& list);
    // The list got the focus back from its editor: store or discard.
    void finishEdit(DatabaseList& list);
    void discardEdit(DatabaseList& list);

    // The rows the current list handed over to its menu or editor.
    const HandedOverRows& handedOver() const { return handedOver_; }
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
    void createChildren(const PanelFonts& fonts);
    void connectList(DatabaseList& list);
    void showContextMenu(DatabaseList& list, QPoint viewportPos);
    void holdForAWhile();
    void releaseHold();
    void onLinkSetChosen(int k);
    void onLinkSetRenamed(const QString& text);
    void searchChannels(const QString& text, bool forward);
    void searchLog(const QString& text, bool forward);
    // Rebuilds the channel list and puts selection, top row and caret back.
    void rebuildChannelsKeepingPlace();

    // Commands (DatabaseCommands.cpp).
    bool runPropertyCommand(int command, const std::vector<int>& rows);
    void showViewCommand(int view);
    void afterPropertyChange(int view);
    void deleteChannels();
    void clearLog();
    void analyseLog();
    void cutAutoRanges();
    void pasteAutoRanges();
    void makePriorityChannel();
    void startPlayback();
    // Editor (DatabaseEditing.cpp).
    void openEditor(int command);
    bool storeEdit(DatabaseList& list);
    void reselectAfterEdit(DatabaseList& list);

    Ports ports_;
    DatabaseCore* core_ = nullptr;
    DatabaseHost* host_ = nullptr;
    std::unique_ptr<DatabaseHost> defaultHost_;
    bool localHold_ = false;
    int shownView_ = 0;
    // The scan moved to a channel while the panel was hidden.
    bool channelRowDeferred_ = false;
    HandedOverRows handedOver_;

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
