#include "history/draws.h"

#include <algorithm>
#include <cmath>

namespace omvex {

namespace {

bool isDrawNumber(int number)
{
    return number >= 1 && number <= kHighestNumber;
}

bool isHeldRow(const CellGrid &history, int row)
{
    for (int column = 1; column <= history.columnCount(); ++column) {
        if (!history.isEmpty(column, row))
            return true;
    }
    return false;
}

// A cell holding a whole number 1..43.
std::optional<int> drawNumberAt(const CellGrid &history, int column, int row)
{
    if (history.isEmpty(column, row))
        return std::nullopt;
    const double number = history.number(column, row);
    if (number < 1 || number > kHighestNumber || number != std::floor(number))
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

bool isUsableDraw(const std::array<int, kPicks> &main, int bonus)
{
    for (auto it = main.begin(); it != main.end(); ++it) {
        if (!isDrawNumber(*it) || std::find(main.begin(), it, *it) != it)
            return false;
    }
    return isDrawNumber(bonus) && std::find(main.begin(), main.end(), bonus) == main.end();
}

bool isSameDraw(const std::array<int, kPicks> &mainA, int bonusA, const std::array<int, kPicks> &mainB, int bonusB)
{
    return bonusA == bonusB && std::is_permutation(mainA.begin(), mainA.end(), mainB.begin());
}

std::optional<Draw> usableDrawAt(const CellGrid &history, int row)
{
    Draw draw;
    draw.number = row;
    for (int column = 1; column <= kPicks; ++column) {
        const std::optional<int> number = drawNumberAt(history, column, row);
        if (!number)
            return std::nullopt;
        draw.main[static_cast<std::size_t>(column - 1)] = *number;
    }
    const std::optional<int> bonus = drawNumberAt(history, kBonusColumn, row);
    if (!bonus)
        return std::nullopt;
    draw.bonus = *bonus;
    if (!isUsableDraw(draw.main, draw.bonus))
        return std::nullopt;
    return draw;
}

DrawHistory DrawHistory::fromGrid(const CellGrid &history)
{
    DrawHistory draws;
    draws.m_usableAt.assign(static_cast<std::size_t>(history.rowCount()), kEmpty);
    for (int row = 1; row <= history.rowCount(); ++row) {
        if (!isHeldRow(history, row))
            continue;
        ++draws.m_held.count;
        draws.m_held.first = draws.m_held.first == 0 ? row : draws.m_held.first;
        draws.m_held.last = row;
        std::int32_t &slot = draws.m_usableAt[static_cast<std::size_t>(row - 1)];
        slot = kHeldOnly;
        if (std::optional<Draw> draw = usableDrawAt(history, row)) {
            slot = static_cast<std::int32_t>(draws.m_usable.size());
            draws.m_usable.push_back(*draw);
        }
    }
    return draws;
}

bool DrawHistory::isHeld(int number) const
{
    return number >= 1 && number <= rowCount() && m_usableAt[static_cast<std::size_t>(number - 1)] != kEmpty;
}

const Draw *DrawHistory::usable(int number) const
{
    if (number < 1 || number > rowCount())
        return nullptr;
    const std::int32_t at = m_usableAt[static_cast<std::size_t>(number - 1)];
    return at >= 0 ? &m_usable[static_cast<std::size_t>(at)] : nullptr;
}

std::optional<int> DrawHistory::latest() const
{
    if (m_usable.empty())
        return std::nullopt;
    return m_usable.back().number;
}

} // namespace omvex
