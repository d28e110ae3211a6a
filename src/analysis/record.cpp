#include "analysis/record.h"

#include "platform/textscan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace omvex::analysis {

namespace {

constexpr int kRecordFields = 6 + kPicks;
// Nine digits always fit an int; no draw number comes near.
constexpr int kMaxDigits = 9;

std::optional<int> wholeNumber(std::string_view field, int low, int high)
{
    field = platform::trimmed(field);
    if (field.empty() || field.size() > static_cast<std::size_t>(kMaxDigits))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// Exactly two digits at text[at], or -1.
int twoDigits(std::string_view text, std::size_t at)
{
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

// "yyyy-MM-ddTHH:mm:ss" followed by "±hh:mm", or by "Z" as an editor or another tool may write it.
std::optional<QDateTime> parseTime(std::string_view text)
{
    text = platform::trimmed(text);
    constexpr std::size_t kLocalLength = 19;
    if (text.size() != kLocalLength + 6 && text.size() != kLocalLength + 1)
        return std::nullopt;
    for (const std::size_t at : {4U, 7U})
        if (text[at] != '-')
            return std::nullopt;
    if (text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const int century = twoDigits(text, 0);
    const int yearInCentury = twoDigits(text, 2);
    if (century < 0 || yearInCentury < 0)
        return std::nullopt;
    const QDate date(century * 100 + yearInCentury, twoDigits(text, 5), twoDigits(text, 8));
    const QTime time(twoDigits(text, 11), twoDigits(text, 14), twoDigits(text, 17));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;

    int offsetSeconds = 0;
    const std::string_view offset = text.substr(kLocalLength);
    if (offset != "Z") {
        if (offset.size() != 6 || (offset[0] != '+' && offset[0] != '-') || offset[3] != ':')
            return std::nullopt;
        const int hours = twoDigits(offset, 1);
        const int minutes = twoDigits(offset, 4);
        if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (offset[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offsetSeconds);
}

QString quoted(std::string_view field)
{
    return QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())).trimmed();
}

class Reader {
public:
    void line(int number, std::string_view text)
    {
        if (std::optional<RecordEntry> entry = parse(number, text))
            m_result.entries.push_back(*entry);
    }

    // The entry of one line, or nothing (with a warning when the line is not blank or a comment).
    std::optional<RecordEntry> parse(int number, std::string_view text)
    {
        if (text.size() > static_cast<std::size_t>(kMaxRecordLineBytes)) {
            warn(number, "too-long",
                 QStringLiteral("行が長すぎます（%1バイト）").arg(static_cast<qsizetype>(text.size())));
            return std::nullopt;
        }
        text = platform::trimmed(text);
        if (text.empty() || text.front() == '#')
            return std::nullopt;

        std::array<std::string_view, kRecordFields> fields{};
        std::size_t count = 0;
        for (std::size_t start = 0;;) {
            const std::size_t comma = text.find(',', start);
            if (count < fields.size())
                fields[count] = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
            ++count;
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
        if (count != fields.size()) {
            warn(number, "fields",
                 QStringLiteral("項目が%1個あります（%2個のはずです）").arg(count).arg(kRecordFields));
            return std::nullopt;
        }

        RecordEntry entry;
        entry.line = number;
        const std::optional<QDateTime> time = parseTime(fields[0]);
        if (!time) {
            warn(number, "time", QStringLiteral("日時「%1」が読めません").arg(quoted(fields[0])));
            return std::nullopt;
        }
        entry.time = *time;
        const std::optional<int> draw = wholeNumber(fields[1], 1, 999'999'999);
        if (!draw) {
            warn(number, "draw", QStringLiteral("回の番号「%1」が読めません").arg(quoted(fields[1])));
            return std::nullopt;
        }
        entry.draw = *draw;
        const std::optional<int> level = wholeNumber(fields[2], 0, kLevelChoices - 1);
        const std::optional<int> pattern = wholeNumber(fields[3], 0, kPatternChoices - 1);
        const std::optional<int> kako = wholeNumber(fields[4], 0, kKakoChoices - 1);
        if (!level || !pattern || !kako) {
            warn(number, "settings",
                 QStringLiteral("設定「%1,%2,%3」が範囲外です").arg(quoted(fields[2]), quoted(fields[3]), quoted(fields[4])));
            return std::nullopt;
        }
        entry.settings = {levelFromDigit(*level), patternFromDigit(*pattern), kakoFromDigit(*kako)};
        const std::optional<int> pass = wholeNumber(fields[5], 1, 2);
        if (!pass) {
            warn(number, "pass",
                 QStringLiteral("何回目か「%1」が1か2ではありません").arg(quoted(fields[5])));
            return std::nullopt;
        }
        entry.pass = *pass;
        for (std::size_t i = 0; i < entry.numbers.size(); ++i) {
            const std::optional<int> value = wholeNumber(fields[6 + i], 1, kHighestNumber);
            if (!value) {
                warnNumbers(number);
                return std::nullopt;
            }
            entry.numbers[i] = *value;
        }
        // The order does not change what a proposal is worth; one the user sorted by hand still counts.
        std::sort(entry.numbers.begin(), entry.numbers.end());
        if (std::adjacent_find(entry.numbers.begin(), entry.numbers.end()) != entry.numbers.end()) {
            warnNumbers(number);
            return std::nullopt;
        }
        return entry;
    }

    RecordRead finish()
    {
        if (m_unlisted > 0)
            m_result.warnings.push_back({{0, "more-skipped",
                                         QStringLiteral("ほかに%1行を読み飛ばしました").arg(m_unlisted)}});
        return std::move(m_result);
    }

private:
    void warn(int line, const char *code, const QString &why)
    {
        if (static_cast<int>(m_result.warnings.size()) >= kMaxRecordWarnings) {
            ++m_unlisted;
            return;
        }
        m_result.warnings.push_back({{line, code, QStringLiteral("%1行目を読み飛ばしました: %2").arg(QString::number(line), why)}});
    }
    void warnNumbers(int line)
    {
        warn(line, "numbers", QStringLiteral("数字が1〜%1の異なる%2個ではありません").arg(kHighestNumber).arg(kPicks));
    }

    RecordRead m_result;
    long long m_unlisted = 0;
};

RecordRead fileProblem(const QString &path, const char *code, const QString &why)
{
    RecordRead result;
    result.path = path;
    result.exists = true;
    result.readable = false;
    result.warnings.push_back({{0, code, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why)}});
    return result;
}

} // namespace

QString recordTimeText(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    const int offsetMinutes = time.offsetFromUtc() / 60;
    const int absolute = std::abs(offsetMinutes);
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", date.year(), date.month(), date.day(),
                             clock.hour(), clock.minute(), clock.second(), offsetMinutes < 0 ? '-' : '+',
                             absolute / 60, absolute % 60);
}

std::optional<int> nextDrawFor(const DrawHistory &history)
{
    if (const std::optional<int> latest = history.latest())
        return *latest + 1;
    return std::nullopt;
}

QByteArray formatRecord(const QDateTime &now, int draw, const Settings &settings,
                        const std::array<Proposal, 2> &proposals)
{
    const QByteArray start = recordTimeText(now).toLatin1() + ',' + QByteArray::number(draw) + ','
        + QByteArray::number(digit(settings.level)) + ',' + QByteArray::number(digit(settings.pattern)) + ','
        + QByteArray::number(digit(settings.kako));
    QByteArray lines;
    for (std::size_t pass = 0; pass < proposals.size(); ++pass) {
        Proposal numbers = proposals[pass];
        std::sort(numbers.begin(), numbers.end());
        lines += start + ',' + QByteArray::number(static_cast<int>(pass) + 1);
        for (const int number : numbers)
            lines += ',' + QByteArray::number(number);
        lines += '\n';
    }
    return lines;
}

Status appendRecord(const QString &path, const QDateTime &now, int draw,
                                       const Settings &settings, const std::array<Proposal, 2> &proposals)
{
    // Never beyond what reading accepts: a record grown past it would be refused whole.
    return platform::appendToFile(path, formatRecord(now, draw, settings, proposals), kRecordHeader, kMaxRecordBytes);
}

namespace {

// Calls take(line number, offset, text) for each line of the content, a byte order mark aside.
template<typename Take>
void forEachLine(std::string_view content, Take take)
{
    std::size_t offset = 0;
    if (content.substr(0, platform::kByteOrderMark.size()) == platform::kByteOrderMark)
        offset = platform::kByteOrderMark.size();
    int number = 0;
    while (offset < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", offset);
        ++number;
        take(number, offset, content.substr(offset, end == std::string_view::npos ? end : end - offset));
        if (end == std::string_view::npos)
            break;
        offset = content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
}

// The file's bytes, or the reading that says why there are none.
std::optional<RecordRead> readBytes(const QString &path, QByteArray &bytes)
{
    if (!QFileInfo::exists(path)) {
        RecordRead none;
        none.path = path;
        return none;
    }
    // A pipe or a device under the file's name could block a read for ever.
    if (!QFileInfo(path).isFile())
        return fileProblem(path, "not-regular", QStringLiteral("通常のファイルではありません"));
    const QString tooLarge = QStringLiteral("大きすぎるので読みません（%1 MBまで）").arg(kMaxRecordBytes / (1024 * 1024));
    if (QFileInfo(path).size() > kMaxRecordBytes)
        return fileProblem(path, "too-large", tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileProblem(path, "cannot-read", platform::fileProblemText(path, file.error()));
    bytes = file.read(kMaxRecordBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fileProblem(path, "cannot-read", platform::fileProblemText(path, file.error()));
    if (bytes.size() > kMaxRecordBytes)
        return fileProblem(path, "too-large", tooLarge);
    return std::nullopt;
}

} // namespace

RecordRead parseRecord(std::string_view content)
{
    Reader reader;
    forEachLine(content, [&](int number, std::size_t, std::string_view text) { reader.line(number, text); });
    return reader.finish();
}

RecordRead readRecordNewestFirst(const QString &path, const std::function<void(const RecordEntry &)> &take)
{
    QByteArray bytes;
    if (std::optional<RecordRead> none = readBytes(path, bytes))
        return *none;
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // The first pass keeps only where each entry's line starts; the second reads those lines again
    // from the last, so that no list of entries is ever held.
    struct Start {
        std::uint32_t offset; // the file is at most kMaxRecordBytes
        int line;
    };
    std::vector<Start> starts;
    Reader reader;
    forEachLine(content, [&](int number, std::size_t offset, std::string_view text) {
        if (reader.parse(number, text))
            starts.push_back({static_cast<std::uint32_t>(offset), number});
    });
    RecordRead result = reader.finish();
    result.path = path;
    result.exists = true;
    Reader again;
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const std::string_view rest = content.substr(it->offset);
        if (const std::optional<RecordEntry> entry = again.parse(it->line, rest.substr(0, rest.find_first_of("\r\n"))))
            take(*entry);
    }
    return result;
}

RecordRead readRecord(const QString &path)
{
    QByteArray bytes;
    if (std::optional<RecordRead> none = readBytes(path, bytes))
        return *none;
    RecordRead result = parseRecord(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    result.path = path;
    result.exists = true;
    return result;
}

} // namespace omvex::analysis
