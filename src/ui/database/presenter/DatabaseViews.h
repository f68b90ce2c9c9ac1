#pragma once

namespace kovo::dblines {

// The database views; 7 is the statistics chart of the log.
enum View : int {
    ChannelView = 0,
    BankView = 1,
    SearchBankView = 2,
    PassRangeView = 3,
    AutoRangeView = 4,
    SearchStringView = 5,
    LogView = 6,
    ChartView = 7,
};
inline constexpr int kListViewCount = 7;
inline constexpr int kViewCount = 8;

} // namespace kovo::dblines
