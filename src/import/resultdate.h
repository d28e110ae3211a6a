#pragma once

#include <QStringView>

namespace omvex {

// Whether a text is a draw date in a form that published result files use: 2024/01/04, 2024/1/4,
// 2024-01-04, 2024.1.4, 20240104, R6.1.4, H12.10.5, 令和6年1月4日, 平成12年10月5日 (元年 for the
// first year of an era), 2026年5月4日, each optionally followed by the day of the week ("2026/5/4(月)",
// "2026/5/4 月"). The date must exist in the calendar. Blanks around the text are ignored; full-width
// digits must have been made ASCII before.
bool isResultDate(QStringView text);

} // namespace omvex
