#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovo {

struct DocumentContents;

// The items the user chose in one database list, remembered by what they are
// rather than by where they stood: a channel by its frequency (no two
// channels share one), a log entry by its ring slot, frequency and first
// time heard, and a bank, range or search string by its place in its fixed
// table, which only the user's own cut and paste ever changes. The scan may
// store channels and log hits while a menu, a question or an editor is open;
// finding the items again when the command runs makes the command act on
// what the user chose. No toolkit types: the list's commands can use it
// wherever they live.
class ChosenItems {
public:
    static constexpr std::size_t kMaxItems = 5000;

    ChosenItems() = default;
    // The items at `rows` of list `view` (0 channels .. 6 log) as the
    // document holds them now; rows outside the table are left out.
    ChosenItems(const DocumentContents& doc, int view, std::vector<int> rows);

    int view() const { return view_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    // Only the first item (commands that act on one item).
    ChosenItems first() const;
    // The frequencies of the chosen channels or log entries, in list order.
    std::vector<std::uint32_t> frequencies() const;

    // Where the items are now, ascending; `gone` counts the items the
    // document no longer holds.
    struct Found {
        std::vector<int> rows;
        std::size_t gone = 0;
    };
    Found find(const DocumentContents& doc) const;

private:
    struct Item {
        int slot = -1; // table row, or ring slot of a log entry
        std::uint32_t frequency = 0;
        std::int32_t firstHeard = 0;
    };
    int view_ = -1;
    std::vector<Item> items_;
};

} // namespace kovo
