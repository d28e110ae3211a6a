#pragma once

namespace omvex {

// The game: six main numbers and one bonus number drawn from 1..43.
inline constexpr int kHighestNumber = 43;
inline constexpr int kPicks = 6;

// A history row: the six main numbers in columns 1..6, the bonus in column 7.
inline constexpr int kBonusColumn = kPicks + 1;
inline constexpr int kHistoryColumns = kBonusColumn;
// A row of the history file: the draw number, then the row's columns.
inline constexpr int kHistoryRowFields = 1 + kHistoryColumns;

} // namespace omvex
