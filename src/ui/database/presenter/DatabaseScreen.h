#pragma once
#include <string>
#include <vector>

namespace kovo {

// Field kinds of the in-place editor.
enum class EditKind { Frequency = 1, Range = 2, Text = 3 };

// An in-place editor to open over one row: which view, the field or fields
// (second column < 0: one field), how many characters wide, and the texts
// it starts with (UTF-8).
struct EditorRequest {
    int view = 0;
    int row = 0;
    EditKind kind = EditKind::Text;
    int firstColumn = 0;
    int secondColumn = -1;
    int width = 0;
    std::string firstText;
    std::string secondText;
};

// What the database presenter asks of the widgets that show the lists: the
// rows, selections and editors of each list view (0..6), the view shown and
// the two combo boxes. Texts are UTF-8. No toolkit types, so the commands
// can be tested without a screen.
class DatabaseScreen {
public:
    virtual ~DatabaseScreen() = default;

    // ---- rows ----
    virtual int rowCount(int view) const = 0;
    virtual int topRow(int view) const = 0;
    virtual void setTopRow(int view, int row) = 0;
    virtual int caretRow(int view) const = 0;
    // Moves the caret without touching the selection.
    virtual void setCaretRow(int view, int row) = 0;
    virtual std::vector<int> selectedRows(int view) const = 0;
    virtual void selectRows(int view, const std::vector<int>& rows) = 0;
    virtual void selectRow(int view, int row) = 0;
    virtual void clearSelection(int view) = 0;
    // Scrolls no further than needed to show the row.
    virtual void bringRowIntoView(int view, int row) = 0;
    // Reads the rows of a view anew from the document.
    virtual void reloadRows(int view) = 0;
    // The text of a line as the list shows it.
    virtual std::string lineText(int view, int row) const = 0;

    // ---- views and boxes ----
    // Shows view v (0..7): its list or the chart, its keys and boxes.
    virtual void showView(int view) = 0;
    virtual bool isHidden() const = 0;
    virtual std::string searchText() const = 0;
    virtual void reloadSearchStrings() = 0;
    virtual void reloadLinkSets() = 0;
    // The link-set box shows set k and its name.
    virtual void showLinkSet(int k) = 0;

    // ---- in-place editor ----
    virtual bool editorOpen(int view) const = 0;
    virtual void openEditor(const EditorRequest& request) = 0;
    virtual void closeEditor(int view) = 0;
    // The edited item now stands at `row`: the editor moves over it.
    virtual void moveEditorTo(int view, int row) = 0;
    // The text of field 0 or 1 of the open editor.
    virtual std::string editorText(int view, int field) const = 0;
    // Text that cannot be stored: a beep; the field keeps it for correction.
    virtual void refuseEntry(int view, int field) = 0;
    // The focus goes to the open editor's first field.
    virtual void focusEditor(int view) = 0;
    // The focus comes back to that field, into the active window, if the
    // editor is still on screen (after a message about its text closed).
    virtual void returnToEditor(int view) = 0;
};

} // namespace kovo
