#pragma once
#include "ui/database/ChosenItems.h"
#include "ui/database/DatabaseSeams.h"
#include "ui/database/presenter/DatabaseEditing.h"
#include "ui/database/presenter/DatabaseMenuCommands.h"
#include "ui/database/presenter/DatabaseScreen.h"

#include "data/Notices.h"

#include <memory>
#include <string>
#include <vector>

namespace kovo {

class CKovo5Doc;
class Notifier;
struct AppSettings;
struct DocumentChange;

// What the database panel decides, apart from drawing: which view shows,
// where the lists stand while the scan moves on, searching, the bank-link
// sets, the hold that keeps the lists still while the user works in them,
// and the items chosen for a menu or an editor. The context-menu commands
// and the in-place editor live in the two helpers it owns. It changes only
// the document, through its operations; the screen shows what it says.
class DatabasePresenter {
public:
    struct Ports {
        CKovo5Doc& doc;
        const AppSettings& settings;
        Notifier& notifier;
        DatabaseScreen& screen;
    };

    explicit DatabasePresenter(Ports ports);
    ~DatabasePresenter();
    DatabasePresenter(const DatabasePresenter&) = delete;
    DatabasePresenter& operator=(const DatabasePresenter&) = delete;

    // The receiver core and the program around the panel; without them the
    // hold is a plain flag, rows are not tuned and questions go to the
    // notifier.
    void setCore(DatabaseCore* core) { core_ = core; }
    void setHost(DatabaseHost* host);
    DatabaseCore* core() const { return core_; }
    DatabaseHost& host() const { return *host_; }
    const Ports& ports() const { return ports_; }
    DatabaseMenuCommands& commands() { return commands_; }
    DatabaseEditing& editing() { return editing_; }

    // ---- hold ----
    bool held() const;
    void holdForAWhile();
    void holdUntilCleared();
    void releaseHold();

    // ---- views ----
    void refreshAll();
    // Shows view v (0..7) without storing it.
    void showView(int view);
    int shownView() const { return shownView_; }
    // The stored view, limited to the lists.
    int currentView() const;
    // A view key: the open editor is discarded and view v is stored and shown.
    void switchView(int view);

    // ---- lists ----
    void rebuildChannels();
    // Rebuilds the channel list and puts selection, top row and caret back.
    void rebuildChannelsKeepingPlace();
    void selectChannel(int row);
    // Views 1 to 6 rebuild their list; view 0 renumbers the channels too.
    void rebuildList(int view);
    void bringChannelRowIntoView(int row);
    void selectNewestLogEntry();
    void selectLogCaretRow();
    // The panel came on screen: a channel chosen meanwhile comes into view.
    void screenShown();

    // ---- link sets and search ----
    // The user picked set k in the box.
    void chooseLinkSet(int k);
    // The user typed a new name for the current set; false when refused.
    bool renameLinkSet(const std::string& utf8Name);
    // The scan engine or the main menu switch to set k.
    void selectLinkSet(int k);
    void search(bool forward);

    // ---- chosen items ----
    // The selected rows of list `view` become the items chosen.
    void choose(int view);
    const ChosenItems& chosen() const { return chosen_; }
    // Where the chosen items are now.
    std::vector<int> chosenRows() const;
    // The rows of `items` now; tells the user when some are gone.
    std::vector<int> rowsOf(const ChosenItems& items);
    void tellGone(std::size_t count);
    // Counts document replacements: an answer that comes after one finds
    // none of the items it was asked about.
    int documentGeneration() const { return documentGeneration_; }
    // Lives as long as the presenter: answers that come later check it.
    std::weak_ptr<DatabasePresenter*> lifetime() const { return self_; }

    // Double-click or Enter on the caret row of list `view`.
    void activateRow(int view);

private:
    void onDocumentChange(const DocumentChange& change);
    void searchChannels(const std::string& text, bool forward);
    void searchLog(const std::string& text, bool forward);

    Ports ports_;
    DatabaseCore* core_ = nullptr;
    DatabaseHost* host_ = nullptr;
    std::unique_ptr<DatabaseHost> defaultHost_;
    bool localHold_ = false;
    int shownView_ = 0;
    // The scan moved to a channel while the panel was hidden.
    bool channelRowDeferred_ = false;
    ChosenItems chosen_;
    int documentGeneration_ = 0;
    std::shared_ptr<DatabasePresenter*> self_;
    DatabaseMenuCommands commands_;
    DatabaseEditing editing_;
    Subscription subscription_;
};

} // namespace kovo
