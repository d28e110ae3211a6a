#include "analysis/journal.h"
#include "analysis/record.h"
#include "support/atonce.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace omvex::analysis {
namespace {

const QDateTime kTokyoEvening(QDate(2026, 12, 7), QTime(18, 30, 5), Qt::OffsetFromUTC, 9 * 3600);
const std::array<Proposal, 2> kProposals{{{3, 11, 17, 25, 36, 42}, {1, 2, 9, 20, 33, 43}}};
const Settings kSettings{Level::Matsu, Pattern::All, Kako::RandomLowBonus};

// line:draw:pass:level,pattern,kako:numbers:time, so a table row states a whole entry in one string.
std::string summary(const RecordEntry &entry)
{
    std::string text = std::to_string(entry.line) + ':' + std::to_string(entry.draw) + ':' + std::to_string(entry.pass)
        + ':' + std::to_string(digit(entry.settings.level)) + ',' + std::to_string(digit(entry.settings.pattern)) + ','
        + std::to_string(digit(entry.settings.kako)) + ':';
    for (const int number : entry.numbers)
        text += std::to_string(number) + (number == entry.numbers.back() ? ":" : " ");
    return text + recordTimeText(entry.time).toStdString();
}

std::vector<std::string> summaries(const RecordRead &read)
{
    std::vector<std::string> lines;
    for (const RecordEntry &entry : read.entries)
        lines.push_back(summary(entry));
    return lines;
}

// "line:code" per warning; every message must name its line.
std::vector<std::string> warningsOf(const std::vector<RecordWarning> &warnings)
{
    std::vector<std::string> list;
    for (const RecordWarning &warning : warnings) {
        if (warning.line > 0) {
            EXPECT_TRUE(warning.message.startsWith(QStringLiteral("%1行目").arg(warning.line)))
                << warning.message.toStdString();
        }
        list.push_back(std::to_string(warning.line) + ':' + warning.code);
    }
    return list;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content, mode_t mode = 0644)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), content.size());
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

TEST(RecordFormat, linesCarryTheOffsetAndAscendingNumbers)
{
    const struct {
        const char *name;
        QDateTime now;
        std::array<Proposal, 2> proposals;
        const char *lines;
    } rows[] = {
        {"utc_neverZ", QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5, 999), Qt::UTC), kProposals,
         "2027-01-02T03:04:05+00:00,58,3,1,2,1,3,11,17,25,36,42\n"
         "2027-01-02T03:04:05+00:00,58,3,1,2,2,1,2,9,20,33,43\n"},
        {"negativeHalfHour_unsortedSorted", QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59), Qt::OffsetFromUTC, -12600),
         {{{42, 3, 36, 11, 25, 17}, {43, 1, 33, 2, 20, 9}}},
         "2026-03-01T23:59:59-03:30,58,3,1,2,1,3,11,17,25,36,42\n"
         "2026-03-01T23:59:59-03:30,58,3,1,2,2,1,2,9,20,33,43\n"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(formatRecord(row.now, 58, kSettings, row.proposals).toStdString(), row.lines) << row.name;
}

TEST(RecordRead, skipsWhatItCannotReadAndNamesTheLine)
{
    const std::string good = "2026-12-07T18:30:05+09:00,12,3,1,0,1,1,2,3,4,5,6";
    const std::string goodEntry = "12:1:3,1,0:1 2 3 4 5 6:2026-12-07T18:30:05+09:00";
    std::string garbage;
    std::vector<std::string> garbageWarnings;
    for (int line = 1; line <= kMaxRecordWarnings + 50; ++line) {
        garbage += "x\n";
        if (line <= kMaxRecordWarnings)
            garbageWarnings.push_back(std::to_string(line) + ":fields");
    }
    garbageWarnings.emplace_back("0:more-skipped");
    const struct {
        const char *name;
        std::string content;
        std::vector<std::string> entries;
        std::vector<std::string> warnings;
    } rows[] = {
        {"empty", "", {}, {}},
        {"headerAndTwoPasses", std::string(kRecordHeader) + good + "\n" + "2026-12-07T18:30:05+09:00,12,3,1,0,2,7,8,9,10,11,43\n",
         {"2:" + goodEntry, "3:12:2:3,1,0:7 8 9 10 11 43:2026-12-07T18:30:05+09:00"}, {}},
        {"halfLastLine", good + "\n2026-12-07T18:30:05+09:00,13,3", {"1:" + goodEntry}, {"2:fields"}},
        {"editedLinesGoneWrong",
         good + ",7\n"                                                  // 13 fields
             + "2026-13-07T18:30:05+09:00,12,3,1,0,1,1,2,3,4,5,6\n"     // month 13
             + "2026-12-07T18:30:05+09:00,0,3,1,0,1,1,2,3,4,5,6\n"      // draw 0
             + "2026-12-07T18:30:05+09:00,12,4,1,0,1,1,2,3,4,5,6\n"     // level 4
             + "2026-12-07T18:30:05+09:00,12,3,1,0,3,1,2,3,4,5,6\n"     // pass 3
             + "2026-12-07T18:30:05+09:00,12,3,1,0,1,1,2,3,4,5,44\n"    // 44
             + "2026-12-07T18:30:05+09:00,12,3,1,0,1,1,2,3,4,5,5\n"     // twice 5
             + "2026-12-07T18:30:05+09:00,12,3,1,0,1,1,2,3,4,5,6x\n"    // not a number
             + "2026-12-07T18:30:05+09:00,99999999999,3,1,0,1,1,2,3,4,5,6\n" // beyond any int
             + good + "\n",
         {"10:" + goodEntry},
         {"1:fields", "2:time", "3:draw", "4:settings", "5:pass", "6:numbers", "7:numbers", "8:numbers", "9:draw"}},
        {"byteOrderMarkCrlfBlankZAndHandSorted",
         "\xEF\xBB\xBF# time,...\r\n\r\n  \r\n 2026-12-07T09:30:05Z , 12,3,1,0,1, 6,5,4,3,2,1 \r\n",
         {"4:12:1:3,1,0:1 2 3 4 5 6:2026-12-07T09:30:05+00:00"}, {}},
        {"loneCarriageReturns_countAsLineEnds", "#\r" + good + "\rx\r" + good, {"2:" + goodEntry, "4:" + goodEntry},
         {"3:fields"}},
        {"overlongLine_notSplit", std::string(300, ',') + "\n" + good, {"2:" + goodEntry}, {"1:too-long"}},
        {"manyBadLines_warningsCapped", garbage + good, {std::to_string(kMaxRecordWarnings + 51) + ":" + goodEntry},
         garbageWarnings},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const RecordRead read = parseRecord(row.content);
        EXPECT_EQ(summaries(read), row.entries);
        EXPECT_EQ(warningsOf(read.warnings), row.warnings);
    }
}

enum class Start { None, File, Folder, ReadOnlyFolder, MissingFolder };

TEST(RecordFile, appendsOneRunOrLeavesTheFileAsItWas)
{
    const QByteArray lines = formatRecord(kTokyoEvening, 58, kSettings, kProposals);
    const QByteArray halfLine = "2026-12-06T07:00:00+09:00,57,3";
    const struct {
        const char *name;
        Start start;
        QByteArray before;
        mode_t mode;
        const char *code; // empty when the append succeeds
        QByteArray after;
        int firstNewLine;
    } rows[] = {
        {"newFile_headerFirst", Start::None, "", 0, "", kRecordHeader + lines, 2},
        {"emptyFile_headerFirst", Start::File, "", 0644, "", kRecordHeader + lines, 2},
        {"halfLine_endedBeforeTheRun", Start::File, halfLine, 0644, "", halfLine + "\n" + lines, 2},
        {"readOnlyFile_untouched", Start::File, halfLine, 0444, "read-only", halfLine, 0},
        {"missingFolder", Start::MissingFolder, "", 0, "missing-folder", "<missing>", 0},
        // Root may write into any folder, so this row only means something for an ordinary user.
        {"readOnlyFolder_noFileMade", Start::ReadOnlyFolder, "", 0, "no-permission", "<missing>", 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.start == Start::ReadOnlyFolder && ::geteuid() == 0)
            continue;
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QString folder = dir.path();
        if (row.start == Start::MissingFolder)
            folder = dir.filePath(QStringLiteral("missing"));
        const QString path = QDir(folder).filePath(QString::fromLatin1(kRecordFileName));
        if (row.start == Start::File)
            writeFile(path, row.before, row.mode);
        if (row.start == Start::ReadOnlyFolder) {
            ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        }

        const Status result = appendRecord(path, kTokyoEvening, 58, kSettings, kProposals);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(result.code.toStdString(), row.code);
        EXPECT_EQ(contentOf(path).toStdString(), row.after.toStdString());
        if (!result.ok) {
            EXPECT_TRUE(result.message.contains(QDir::toNativeSeparators(path))) << result.message.toStdString();
            continue;
        }
        const RecordRead read = readRecord(path);
        ASSERT_EQ(read.entries.size(), 2U);
        const std::string time = ":2026-12-07T18:30:05+09:00";
        EXPECT_EQ(summary(read.entries[0]), std::to_string(row.firstNewLine) + ":58:1:3,1,2:3 11 17 25 36 42" + time);
        EXPECT_EQ(summary(read.entries[1]), std::to_string(row.firstNewLine + 1) + ":58:2:3,1,2:1 2 9 20 33 43" + time);
    }
}

// Four runs started together on a folder with no record yet: every run's two lines are kept, under
// one header.
TEST(RecordFile, runsAtOnce_keepEveryLineUnderOneHeader)
{
    for (int trial = 0; trial < 10; ++trial) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QString::fromLatin1(kRecordFileName));
        const std::vector<int> statuses = test::runAtOnce(4, [&](int run) {
            return appendRecord(path, kTokyoEvening, 58 + run, kSettings, kProposals).ok ? 0 : 1;
        });
        EXPECT_EQ(statuses, std::vector<int>(4, 0));
        const RecordRead read = readRecord(path);
        EXPECT_EQ(read.entries.size(), 8U) << "trial " << trial;
        EXPECT_TRUE(read.warnings.empty()) << "trial " << trial;
        EXPECT_EQ(contentOf(path).count(kRecordHeader), 1) << "trial " << trial;
    }
}

// Appending past the size reading accepts would make the whole record unreadable.
TEST(RecordFile, appendBeyondTheReadableSize_isRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kRecordFileName));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kRecordHeader);
    ASSERT_TRUE(file.resize(kMaxRecordBytes - 100));
    file.close();
    const Status result = appendRecord(path, kTokyoEvening, 58, kSettings, kProposals);
    EXPECT_EQ(result.code, QStringLiteral("too-large"));
    EXPECT_EQ(QFileInfo(path).size(), kMaxRecordBytes - 100);
}

TEST(RecordFile, unreadableFileGivesOneWarningAndNoEntries)
{
    enum class Kind { Missing, Folder, Oversized };
    const struct {
        const char *name;
        Kind kind;
        bool exists;
        std::vector<std::string> warnings;
    } rows[] = {
        {"missing_nothingRecordedYet", Kind::Missing, false, {}},
        {"folder_notRegular", Kind::Folder, true, {"0:not-regular"}},
        {"oversized_refused", Kind::Oversized, true, {"0:too-large"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QString::fromLatin1(kRecordFileName));
        if (row.kind == Kind::Folder) {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        if (row.kind == Kind::Oversized) {
            writeFile(path, kRecordHeader);
            ASSERT_TRUE(QFile::resize(path, kMaxRecordBytes + 1)); // sparse: no disk is used
        }
        const RecordRead read = readRecord(path);
        EXPECT_EQ(read.exists, row.exists);
        EXPECT_EQ(read.readable, row.warnings.empty());
        EXPECT_TRUE(read.entries.empty());
        EXPECT_EQ(warningsOf(read.warnings), row.warnings);
    }
}

void setDraw(CellGrid &history, int draw, const std::array<int, 7> &numbers)
{
    for (int column = 1; column <= 7; ++column)
        history.setNumber(column, draw, numbers[static_cast<std::size_t>(column - 1)]);
}

TEST(NextDraw, followsTheLatestUsableDraw)
{
    const std::array<int, 7> valid{1, 2, 3, 4, 5, 6, 7};
    const struct {
        const char *name;
        int rowCount;
        std::vector<std::array<int, 7>> rows; // rows 1, 2, ... in order
        int next;
    } rows[] = {
        {"noHistory_none", 0, {}, 0},
        {"threeDraws_four", 3, {valid, valid, valid}, 4},
        {"emptyRowsAfterTheLast_ignored", 10, {valid, valid, valid}, 4},
        {"badBonus_notADraw", 3, {valid, valid, {1, 2, 3, 4, 5, 6, 6}}, 3},
        {"noUsableDraw_none", 2, {{1, 2, 3, 4, 5, 6, 6}, {1, 2, 3, 4, 5, 6, 1}}, 0},
        {"lastMainTwice_notADraw", 3, {valid, valid, {1, 2, 3, 4, 5, 5, 7}}, 3},
        {"lastMain44_notADraw", 3, {valid, valid, {1, 2, 3, 4, 5, 44, 7}}, 3},
    };
    for (const auto &row : rows) {
        CellGrid history(7, row.rowCount);
        for (std::size_t i = 0; i < row.rows.size(); ++i)
            setDraw(history, static_cast<int>(i) + 1, row.rows[i]);
        EXPECT_EQ(nextDrawFor(DrawHistory::fromGrid(history)).value_or(0), row.next) << row.name;
    }
}

TEST(Journal, scoresRecordedDrawsNewestFirstAndTellsPendingFromMissing)
{
    CellGrid history(7, 5);
    setDraw(history, 1, {1, 2, 3, 4, 5, 6, 7});
    setDraw(history, 2, {10, 11, 12, 13, 14, 15, 16});
    setDraw(history, 3, {1, 2, 3, 4, 5, 5, 7}); // edited into nonsense; row 4 skipped
    setDraw(history, 5, {30, 31, 32, 33, 34, 35, 36});
    const struct {
        const char *numbers;
        int draw;
        EntryStatus status;
        int matches;
        bool bonus;
        Tier tier;
        const char *prize; // nullptr: none
    } rows[] = {
        {"1,2,3,4,5,6", 1, EntryStatus::Scored, 6, false, Tier::Six, "1等"},
        {"1,2,3,4,5,7", 1, EntryStatus::Scored, 5, true, Tier::FivePlusBonus, "2等"},
        {"1,2,3,4,5,8", 1, EntryStatus::Scored, 5, false, Tier::Five, "3等"},
        {"1,2,3,4,7,8", 1, EntryStatus::Scored, 4, true, Tier::Four, "4等"},
        {"1,2,3,10,11,12", 2, EntryStatus::Scored, 3, false, Tier::Three, "5等"},
        {"16,20,21,22,23,24", 2, EntryStatus::Scored, 0, true, Tier::Fewer, nullptr},
        {"1,2,3,4,5,6", 3, EntryStatus::Missing, 0, false, Tier::Fewer, nullptr},
        {"1,2,3,4,5,6", 4, EntryStatus::Missing, 0, false, Tier::Fewer, nullptr},
        {"1,2,3,4,5,6", 6, EntryStatus::Pending, 0, false, Tier::Fewer, nullptr},
    };
    std::string content = kRecordHeader;
    // Each line a run of its own (a minute apart), so the newest comes first.
    int minute = 10;
    for (const auto &row : rows)
        content += "2026-12-07T18:" + std::to_string(minute++) + ":05+09:00," + std::to_string(row.draw) + ",0,1,0,1,"
            + row.numbers + "\n";
    content += "a broken line\n";

    const Journal journal = scoreJournal(parseRecord(content), history);
    const std::size_t count = std::size(rows);
    ASSERT_EQ(journal.entries.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto &row = rows[i];
        const JournalEntry &entry = journal.entries[count - 1 - i];
        SCOPED_TRACE(row.numbers + std::string(" for draw ") + std::to_string(row.draw));
        EXPECT_EQ(entry.record.line, static_cast<int>(i) + 2);
        EXPECT_EQ(entry.status, row.status);
        if (row.status != EntryStatus::Scored)
            continue;
        EXPECT_EQ(entry.score.matches, row.matches);
        EXPECT_EQ(entry.score.bonus, row.bonus);
        EXPECT_EQ(entry.score.tier, row.tier);
        EXPECT_EQ(prizeName(entry.score.tier).value_or("none"), row.prize ? row.prize : "none");
    }
    EXPECT_EQ(journal.scored, 6);
    EXPECT_EQ(journal.pending, 1);
    EXPECT_EQ(journal.missing, 2);
    EXPECT_EQ(warningsOf(journal.warnings), std::vector<std::string>{"11:fields"});

    // One proposal in each tier; chance expects six random lines to land in 3 matches with
    // probability C(6,3) x C(37,3) / C(43,6) = 155400 / 6096454 each.
    ASSERT_TRUE(journal.comparison);
    const ChanceComparison &totals = *journal.comparison;
    EXPECT_EQ(totals.lines, 6);
    for (const TierComparison &tier : totals.tiers)
        EXPECT_EQ(tier.observed, 1) << tierKey(tier.tier);
    EXPECT_NEAR(totals.tiers[static_cast<std::size_t>(Tier::Three)].expected, 6.0 * 155400 / 6096454, 1e-12);
    EXPECT_DOUBLE_EQ(totals.meanMatches, 23.0 / 6);
    EXPECT_DOUBLE_EQ(totals.expectedMeanMatches, 36.0 / 43);
    EXPECT_FALSE(totals.verdict.empty());

    const Journal beforeAnyDraw = scoreJournal(parseRecord(content), CellGrid(7, 0));
    EXPECT_EQ(beforeAnyDraw.scored, 0);
    EXPECT_EQ(beforeAnyDraw.pending, 9);
    EXPECT_FALSE(beforeAnyDraw.comparison);
}

} // namespace
} // namespace omvex::analysis
