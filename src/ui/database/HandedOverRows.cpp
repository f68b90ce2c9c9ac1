#include "ui/database/HandedOverRows.h"

#include <algorithm>
#include <utility>

namespace kovo {

void HandedOverRows::set(std::vector<int> rows) {
    std::erase_if(rows, [](int r) { return r < 0; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() > kMaxRows)
        rows.resize(kMaxRows);
    rows_ = std::move(rows);
}

std::vector<int> HandedOverRows::below(int limit) const {
    const auto end = std::lower_bound(rows_.begin(), rows_.end(), limit);
    return {rows_.begin(), end};
}

} // namespace kovo
