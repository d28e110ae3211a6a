#include "engine/predictpass.h"

#include "engine/random.h"

#include <cmath>
#include <stdexcept>

namespace omvex {

namespace {

// The score grid's two columns while the run counts: points as whole tenths, so no rounding error
// can build up. Nothing looks at the score grid until the run ends, so the tally goes into the grid
// once, leaving each cell as counting cell by cell would: a number cell for every number counted,
// a points cell for every number counted or met in the history.
class ScoreTally {
public:
    void count(int n)
    {
        m_counted[static_cast<std::size_t>(n)] = true;
        add(n, 10);
    }
    void add(int n, long long tenths)
    {
        m_tenths[static_cast<std::size_t>(n)] += tenths;
        m_hasPoints[static_cast<std::size_t>(n)] = true;
    }
    void writeTo(CellGrid &score) const
    {
        for (int n = 1; n <= kScoreRows; ++n) {
            const auto i = static_cast<std::size_t>(n);
            if (m_counted[i])
                score.setNumber(kScoreNumberColumn, n, n);
            if (m_hasPoints[i])
                score.setNumber(kScorePointsColumn, n, static_cast<double>(m_tenths[i]) / 10.0);
        }
    }

private:
    std::array<long long, kScoreRows + 1> m_tenths{};
    std::array<bool, kScoreRows + 1> m_counted{};
    std::array<bool, kScoreRows + 1> m_hasPoints{};
};

void countLine(const CellGrid &lines, int row, ScoreTally &tally)
{
    for (int column = 1; column <= kLineColumns; ++column)
        tally.count(static_cast<int>(lines.number(column, row)));
}

// The weight of one history cell, in tenths; the random kinds draw afresh for every cell.
long long historyWeight(Kako kind, int column, Random &random)
{
    switch (kind) {
    case Kako::Half:
        return 5;
    case Kako::Random:
        return random.uniformInt(10);
    case Kako::RandomLowBonus: {
        const int k = random.uniformInt(10);
        return column == kBonusColumn ? random.uniformInt(5) : k;
    }
    case Kako::None:
        break;
    }
    return 0;
}

bool isLotteryNumber(double value)
{
    return value >= 1 && value <= kHighestNumber && value == std::floor(value);
}

} // namespace

int lineCount(const Settings &settings)
{
    return (digit(settings.level) + 1) * kLinesPerLevel;
}

int sampleCount(const Settings &settings)
{
    return (digit(settings.level) + 1) * kSamplesPerLevel;
}

std::array<int, kPicks> predictPass(PredictionTables &tables, int currentPass, const Settings &settings,
                               std::uint64_t seed, PassView *view)
{
    if (currentPass != 0 && currentPass != 1)
        throw std::invalid_argument("the pass must be 0 or 1");
    const int lines = lineCount(settings);
    const int samples = sampleCount(settings);
    CellGrid &lineGrid = tables.lines[static_cast<std::size_t>(currentPass)];
    CellGrid &score = tables.scores[static_cast<std::size_t>(currentPass)];
    CellGrid &result = tables.result;
    const CellGrid &history = tables.history;

    lineGrid.clear();
    lineGrid.setRowCount(0);
    score.clear();
    score.setRowCount(0);
    score.setRowCount(kScoreRows);

    for (int i = 0; i < 2; ++i) {
        tables.lines[static_cast<std::size_t>(i)].setVisible(false);
        tables.scores[static_cast<std::size_t>(i)].setVisible(false);
    }
    if (view)
        view->setSwitchEnabled(false);
    lineGrid.setVisible(true);
    score.setVisible(true);
    if (view)
        view->repaintNow();

    Random random(seed);

    for (int row = 1; row <= lines; ++row) {
        lineGrid.setRowCount(row);
        lineGrid.bringIntoView(row);
        for (int column = 1; column <= kLineColumns; ++column) {
            int x = random.uniformInt(kHighestNumber);
            // On a repeat, draw again and compare from the first column once more.
            for (int earlier = 1; earlier < column;) {
                if (lineGrid.number(earlier, row) == x) {
                    x = random.uniformInt(kHighestNumber);
                    earlier = 1;
                } else {
                    ++earlier;
                }
            }
            lineGrid.setNumber(column, row, x);
        }
    }

    ScoreTally tally;
    if (settings.pattern == Pattern::Sample) {
        for (int pick = 0; pick < samples; ++pick)
            countLine(lineGrid, random.uniformInt(lines), tally);
    } else {
        for (int row = 1; row <= lines; ++row)
            countLine(lineGrid, row, tally);
    }

    const Kako weightKind = settings.kako;
    const int draws = history.rowCount();
    for (int row = 1; row <= draws; ++row) {
        for (int column = 1; column <= kHistoryColumns; ++column) {
            const double n = history.number(column, row);
            const long long weight = historyWeight(weightKind, column, random);
            // Cells that hold no number 1..43 (rows of skipped draws read 0) have no score row.
            if (isLotteryNumber(n))
                tally.add(static_cast<int>(n), weight);
        }
    }
    tally.writeTo(score);

    // Shuffled first so that numbers with equal points come out in random order: a fixed order
    // would favour the low numbers whenever the sixth place is tied.
    for (int row = kScoreRows; row > 1; --row)
        score.swapRows(row, random.uniformInt(row));
    score.sortRows(kScorePointsColumn, CellGrid::SortOrder::Descending);

    result.setActiveColumn(CellGrid::kAll);
    result.setActiveRow(CellGrid::kAll);
    result.clear();
    for (int i = 1; i <= kLineColumns; ++i)
        result.setNumber(i, 1, score.number(kScoreNumberColumn, i));
    result.sortColumns(1, CellGrid::SortOrder::Ascending);

    std::array<int, kPicks> chosen{};
    for (int i = 1; i <= kLineColumns; ++i)
        chosen[static_cast<std::size_t>(i - 1)] = static_cast<int>(result.number(i, 1));
    return chosen;
}

} // namespace omvex
