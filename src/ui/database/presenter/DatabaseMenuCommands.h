#pragma once
#include <functional>
#include <string>
#include <vector>

namespace kovo {

class ChosenItems;
class DatabasePresenter;

// The commands of the database lists' context menus, found by number in a
// table: each acts on the items chosen when the menu opened, and only in the
// view it belongs to.
class DatabaseMenuCommands {
public:
    explicit DatabaseMenuCommands(DatabasePresenter& presenter) : p_(presenter) {}

    void run(int command);
    // Deletes the channels a Delete question was answered for.
    void deleteChosenChannels(const ChosenItems& chosen);

private:
    struct Entry;
    struct Property;
    static const Entry kEntries[];
    static const Property kProperties[];

    bool runProperty(int command);
    void afterPropertyChange(int view);
    void deleteChannels();
    void clearLog();
    void askWithListHeld(const std::string& question, std::function<void(DatabasePresenter&)> onOk);
    void analyseLog();
    void cutAutoRanges();
    void pasteAutoRanges();
    void makePriorityChannel();
    void startPlayback();
    void stopPlayback();

    DatabasePresenter& p_;
};

} // namespace kovo
