#pragma once

#include "import/resultfields.h"

#include <array>
#include <optional>

namespace omvex {

// Where a results file keeps what the import reads, by column (0-based); -1 for a column it lacks.
struct ResultColumns {
    int draw = 0;
    int date = -1;
    std::array<int, 6> main{1, 2, 3, 4, 5, 6};
    int bonus = 7;
};

// The columns a header line names: the draw (回号, 開催回, 第N回, draw, draw_no, ...), the date
// (抽選日, 日付, date, ...), the six main numbers (本数字1..6, 第1数字..第6数字, n1..n6, num1..num6,
// or one "本数字" over six columns) and the bonus (ボーナス数字, BONUS数字, bonus, ...). Names are
// compared without case, blanks and punctuation; other columns are left alone. Nothing when the
// draw, a main number or the bonus is not named.
std::optional<ResultColumns> columnsFromHeader(const ResultFields &header);

} // namespace omvex
