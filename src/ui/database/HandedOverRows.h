#pragma once
#include <cstddef>
#include <vector>

namespace kovo {

// The selected rows a database list hands over when its context menu or
// editor opens, before they are turned into the chosen items: kept
// ascending, each row once, no negative row, at most 5000 rows.
class HandedOverRows {
public:
    static constexpr std::size_t kMaxRows = 5000;

    void set(std::vector<int> rows);
    const std::vector<int>& rows() const { return rows_; }
    // The rows that lie in 0..limit-1.
    std::vector<int> below(int limit) const;

private:
    std::vector<int> rows_;
};

} // namespace kovo
