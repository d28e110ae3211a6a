#pragma once

#include "engine/game.h"
#include "grid/cellgrid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace omvex {

// One draw: its number, the six main numbers in the order the row gives them, and the bonus.
struct Draw {
    int number = 0;
    std::array<int, kPicks> main{};
    int bonus = 0;

    friend bool operator==(const Draw &, const Draw &) = default;
};

// Six different main numbers 1..43 and a bonus 1..43 that is none of them.
bool isUsableDraw(const std::array<int, kPicks> &main, int bonus);

// Two draws are the same when they agree on the set of main numbers and on the bonus.
bool isSameDraw(const std::array<int, kPicks> &mainA, int bonusA, const std::array<int, kPicks> &mainB, int bonusB);

// How many rows of the history hold something, and the first and last of them.
struct HeldDraws {
    int count = 0;
    int first = 0;
    int last = 0;
};

// The history grid as draws. Row r is draw r. A held row has any content (the reader leaves the rows
// of missing draws empty); a usable row holds seven whole numbers that make a usable draw. Built from
// the grid after every load, rows a stopped reload leaves behind included, so that everything that
// asks about draws gets the same answer as the grid a prediction scans.
class DrawHistory {
public:
    DrawHistory() = default;
    static DrawHistory fromGrid(const CellGrid &history);

    int rowCount() const { return static_cast<int>(m_usableAt.size()); }
    bool isHeld(int number) const;
    // The usable draw of that number, or nullptr.
    const Draw *usable(int number) const;
    const HeldDraws &held() const { return m_held; }
    // Every usable draw, by ascending number.
    const std::vector<Draw> &usableDraws() const { return m_usable; }
    int usableCount() const { return static_cast<int>(m_usable.size()); }
    // The highest usable draw number, if any.
    std::optional<int> latest() const;

private:
    static constexpr std::int32_t kEmpty = -2;
    static constexpr std::int32_t kHeldOnly = -1;
    std::vector<std::int32_t> m_usableAt; // by row - 1: index into m_usable, kHeldOnly or kEmpty
    std::vector<Draw> m_usable;
    HeldDraws m_held;
};

// Row `row` of a history grid as a usable draw, or nothing; the one test every reader of the grid uses.
std::optional<Draw> usableDrawAt(const CellGrid &history, int row);

} // namespace omvex
