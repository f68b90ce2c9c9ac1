#pragma once
#include "ui/database/ChosenItems.h"

#include <array>

namespace kovo {

class DatabasePresenter;
struct EditorSpec;

// The in-place editor of the database lists: which field of which view it
// opens on, and storing or discarding what was typed. A text goes to every
// chosen row; frequencies that cannot be stored are refused and stay in the
// editor for correction.
class DatabaseEditing {
public:
    explicit DatabaseEditing(DatabasePresenter& presenter) : p_(presenter) {}

    // Whether `command` is one of the editors' commands.
    static bool opens(int command);
    // Opens the editor of `command` on the caret row of the current view.
    void open(int command);
    // F2: the editor of the view's first editable field on the selection,
    // or the caret row when nothing is selected.
    void editFirstField(int view);
    // The list got the focus back from its editor: store or discard.
    void finish(int view, bool store);
    void discard(int view);
    // Keeps an open editor over its item when rows come and go above it.
    void follow(int view);
    // A new document: the open editors close without storing.
    void forget();

private:
    bool store(int view);
    bool storeText(int view, int row);
    bool storeChannelFrequency(int row);
    bool storeRangeEdges(int view, int row);
    void reselect(int view);

    DatabasePresenter& p_;
    ChosenItems edited_;
    std::array<const EditorSpec*, 7> open_{};
};

} // namespace kovo
