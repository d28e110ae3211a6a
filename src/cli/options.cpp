#include "cli/options.h"

#include "analysis/ticketline.h"

#include <QUtf8StringView>

#include <algorithm>
#include <charconv>
#include <limits>

namespace omvex::cli {

namespace {

// Plain decimal digits only: a sign, blanks or a fraction in a script's argument is far more
// likely a mistake than an intended value, so it is refused rather than read leniently. from_chars
// takes neither sign nor blanks, so all it must do is use up every byte.
std::optional<std::uint64_t> parseUnsigned(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const char *const end = bytes.constData() + bytes.size();
    std::uint64_t value = 0;
    const auto [stop, error] = std::from_chars(bytes.constData(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

QString commandOption(Command command)
{
    switch (command) {
    case Command::Check:
        return QStringLiteral("--check");
    case Command::Backtest:
        return QStringLiteral("--backtest");
    case Command::Ticket:
        return QStringLiteral("--ticket");
    case Command::Stats:
        return QStringLiteral("--stats");
    case Command::Import:
        return QStringLiteral("--import");
    case Command::Convert:
        return QStringLiteral("--convert");
    case Command::Fetch:
        return QStringLiteral("--fetch");
    case Command::Journal:
        return QStringLiteral("--journal");
    case Command::Patterns:
        return QStringLiteral("--patterns");
    case Command::Help:
        return QStringLiteral("--help");
    case Command::Version:
        return QStringLiteral("--version");
    case Command::Predict:
        break;
    }
    return QString();
}

// --help and --version answer without reading anything, whatever else is asked for with them.
bool isInformation(Command command)
{
    return command == Command::Help || command == Command::Version;
}

// Bytes as text where they are UTF-8, and as \xNN where they are not: "caf\xe9".
QString shownBytes(const QByteArray &bytes)
{
    QString shown;
    for (qsizetype at = 0; at < bytes.size();) {
        // A character takes one to four bytes; a byte that starts none is shown by its value.
        qsizetype length = 1;
        while (length <= 4 && at + length <= bytes.size()
               && !QUtf8StringView(bytes.constData() + at, length).isValidUtf8())
            ++length;
        if (length <= 4 && at + length <= bytes.size()) {
            shown += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(static_cast<uchar>(bytes.at(at)), 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return shown;
}

// Not QCommandLineParser: it reports unknown options before bad values whatever their order, in
// English, and takes "-abc" as three short options; the tool reports the first problem in the order
// given, in Japanese, and refuses anything it does not name. Keeping this small loop is what keeps
// every message, its order and the exit status as scripts know them.
class Parser {
public:
    // raw: the same arguments as the program got them, when it did; null for arguments that are
    // text already.
    Parser(const QStringList &arguments, const QList<QByteArray> *raw) : m_arguments(arguments), m_raw(raw) {}

    ParseResult run()
    {
        ParseResult result;
        std::optional<Command> command;
        bool sawRunOption = false; // --level/--pattern/--kako/--seed
        for (m_index = 0; m_index < m_arguments.size() && m_error.isEmpty(); ++m_index) {
            QString name = m_arguments.at(m_index);
            m_inlineValue.reset();
            const qsizetype equals = name.indexOf(QLatin1Char('='));
            if (name.startsWith(QLatin1String("--")) && equals > 2) {
                m_inlineValue = name.mid(equals + 1);
                name.truncate(equals);
            }
            m_name = name;
            Options &o = result.options;
            if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
                noValue();
                setCommand(command, Command::Help);
            } else if (name == QLatin1String("--version")) {
                noValue();
                setCommand(command, Command::Version);
            } else if (name == QLatin1String("--check")) {
                noValue();
                setCommand(command, Command::Check);
            } else if (name == QLatin1String("--backtest")) {
                noValue();
                setCommand(command, Command::Backtest);
            } else if (name == QLatin1String("--stats")) {
                noValue();
                setCommand(command, Command::Stats);
            } else if (name == QLatin1String("--patterns")) {
                noValue();
                setCommand(command, Command::Patterns);
            } else if (name == QLatin1String("--ticket")) {
                setCommand(command, Command::Ticket);
                const QString text = value();
                if (m_error.isEmpty()) {
                    QString ticketError;
                    o.tickets.push_back(parseTicket(text, &ticketError));
                    if (!ticketError.isEmpty())
                        fail(ticketError);
                }
            } else if (name == QLatin1String("--draw")) {
                o.draw = ranged(1, std::numeric_limits<int>::max());
            } else if (name == QLatin1String("--import")) {
                setCommand(command, Command::Import);
                o.importPath = value();
                if (m_error.isEmpty() && o.importPath.isEmpty())
                    fail(QStringLiteral("--import に結果ファイルを指定してください"));
                else if (const std::optional<QByteArray> bytes = valueNotUtf8())
                    fail(QStringLiteral("--import のファイル名が正しい UTF-8 ではありません: ") + shownBytes(*bytes));
            } else if (name == QLatin1String("--convert")) {
                noValue();
                setCommand(command, Command::Convert);
            } else if (name == QLatin1String("--fetch")) {
                // The address is optional: without one, the next argument is another option.
                setCommand(command, Command::Fetch);
                const bool hasValue = m_inlineValue
                    || (m_index + 1 < m_arguments.size() && !m_arguments.at(m_index + 1).startsWith(QLatin1Char('-')));
                if (hasValue)
                    o.fetchAddress = value();
                if (hasValue && o.fetchAddress.trimmed().isEmpty())
                    fail(QStringLiteral("--fetch のアドレスが空です"));
            } else if (name == QLatin1String("--replace")) {
                noValue();
                o.replace = true;
            } else if (name == QLatin1String("--journal")) {
                noValue();
                setCommand(command, Command::Journal);
            } else if (name == QLatin1String("--record")) {
                noValue();
                o.record = true;
            } else if (name == QLatin1String("--json")) {
                noValue();
                o.json = true;
            } else if (name == QLatin1String("--save")) {
                noValue();
                o.save = true;
            } else if (name == QLatin1String("--folder")) {
                o.folder = value();
                if (m_error.isEmpty() && o.folder.isEmpty())
                    fail(QStringLiteral("--folder にフォルダを指定してください"));
                else if (const std::optional<QByteArray> bytes = valueNotUtf8())
                    fail(QStringLiteral("--folder のフォルダ名が正しい UTF-8 ではありません: ") + shownBytes(*bytes));
            } else if (name == QLatin1String("--chart")) {
                o.chartPath = value();
                if (m_error.isEmpty() && o.chartPath.isEmpty())
                    fail(QStringLiteral("--chart に PNG ファイル名を指定してください"));
                else if (const std::optional<QByteArray> bytes = valueNotUtf8())
                    fail(QStringLiteral("--chart のファイル名が正しい UTF-8 ではありません: ") + shownBytes(*bytes));
                else if (!o.chartPath.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
                    fail(QStringLiteral("--chart のファイル名は .png で終わるものにしてください: ") + o.chartPath);
            } else if (name == QLatin1String("--level")) {
                if (const std::optional<int> level = ranged(0, kLevelChoices - 1))
                    o.level = levelFromDigit(*level);
                sawRunOption = true;
            } else if (name == QLatin1String("--pattern")) {
                if (const std::optional<int> pattern = ranged(0, kPatternChoices - 1))
                    o.pattern = patternFromDigit(*pattern);
                sawRunOption = true;
            } else if (name == QLatin1String("--kako")) {
                if (const std::optional<int> kako = ranged(0, kKakoChoices - 1))
                    o.kako = kakoFromDigit(*kako);
                sawRunOption = true;
            } else if (name == QLatin1String("--last")) {
                o.last = ranged(1, std::numeric_limits<int>::max());
            } else if (name == QLatin1String("--jobs")) {
                o.jobs = ranged(1, std::numeric_limits<int>::max());
            } else if (name == QLatin1String("--seed")) {
                const QString text = value();
                if (m_error.isEmpty()) {
                    o.seed = parseUnsigned(text);
                    if (!o.seed)
                        fail(QStringLiteral("--seed の値 \"%1\" は 0 から 18446744073709551615 までの整数ではありません")
                                 .arg(text));
                }
                sawRunOption = true;
            } else {
                fail(QStringLiteral("知らないオプションです: ") + m_arguments.at(m_index)
                     + QStringLiteral("（--help で使い方を表示）"));
            }
        }
        if (m_error.isEmpty()) {
            Options &o = result.options;
            o.command = command.value_or(Command::Predict);
            const QString which = commandOption(o.command);
            if (isInformation(o.command)) {
                // Nothing else given with it matters.
            } else if (o.save && o.command != Command::Predict) {
                fail(QStringLiteral("--save は %1 と一緒には使えません").arg(which));
            } else if (sawRunOption && o.command != Command::Predict && o.command != Command::Backtest) {
                fail(QStringLiteral("--level/--pattern/--kako/--seed は %1 と一緒には使えません").arg(which));
            } else if (o.record && o.command != Command::Predict) {
                fail(QStringLiteral("--record は %1 と一緒には使えません").arg(which));
            } else if (o.last && o.command != Command::Backtest && o.command != Command::Stats
                       && o.command != Command::Patterns) {
                fail(QStringLiteral("--last は --backtest、--stats か --patterns と一緒にだけ使えます"));
            } else if (o.jobs && o.command != Command::Backtest) {
                fail(QStringLiteral("--jobs は --backtest と一緒にだけ使えます"));
            } else if (o.draw && o.command != Command::Ticket) {
                fail(QStringLiteral("--draw は --ticket と一緒にだけ使えます"));
            } else if (o.replace && o.command != Command::Import && o.command != Command::Fetch) {
                fail(QStringLiteral("--replace は --import か --fetch と一緒にだけ使えます"));
            } else if (!o.chartPath.isEmpty() && o.command != Command::Stats) {
                fail(QStringLiteral("--chart は --stats と一緒にだけ使えます"));
            }
        }
        result.error = m_error;
        return result;
    }

private:
    void fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }

    // --help wins over everything, --version over everything else.
    void setCommand(std::optional<Command> &command, Command wanted)
    {
        // Several tickets are checked in one run; a second file to import would silently replace the first.
        if (command && *command == wanted && (wanted == Command::Import || wanted == Command::Fetch))
            fail(QStringLiteral("%1 は一度だけ指定してください").arg(commandOption(wanted)));
        else if (command && *command != wanted && !isInformation(*command) && !isInformation(wanted))
            fail(QStringLiteral("%1 と %2 は一緒には使えません").arg(commandOption(*command), commandOption(wanted)));
        else if (!command || wanted == Command::Help || (wanted == Command::Version && *command != Command::Help))
            command = wanted;
    }

    // The bytes of the value just read when they are not UTF-8 (its text lost some of them).
    std::optional<QByteArray> valueNotUtf8() const
    {
        if (!m_raw || m_index >= m_raw->size())
            return std::nullopt;
        QByteArray bytes = m_raw->at(m_index);
        if (QUtf8StringView(bytes).isValidUtf8())
            return std::nullopt;
        if (m_inlineValue)
            bytes = bytes.mid(bytes.indexOf('=') + 1);
        return bytes;
    }

    void noValue()
    {
        if (m_inlineValue)
            fail(QStringLiteral("%1 は値を取りません").arg(m_name));
    }

    QString value()
    {
        if (m_inlineValue)
            return *m_inlineValue;
        if (m_index + 1 >= m_arguments.size()) {
            fail(QStringLiteral("%1 に値がありません").arg(m_name));
            return QString();
        }
        return m_arguments.at(++m_index);
    }

    std::optional<int> ranged(int low, int high)
    {
        const QString text = value();
        if (!m_error.isEmpty())
            return std::nullopt;
        const auto number = parseUnsigned(text);
        if (!number || *number < static_cast<std::uint64_t>(low) || *number > static_cast<std::uint64_t>(high)) {
            // One arg() call for all: a chained one would read a "%1" in the user's value as its own.
            if (high == std::numeric_limits<int>::max())
                fail(QStringLiteral("%1 の値 \"%2\" は %3 以上の整数ではありません")
                         .arg(m_name, text, QString::number(low)));
            else
                fail(QStringLiteral("%1 の値 \"%2\" は %3 から %4 までの整数ではありません")
                         .arg(m_name, text, QString::number(low), QString::number(high)));
            return std::nullopt;
        }
        return static_cast<int>(*number);
    }

    const QStringList &m_arguments;
    const QList<QByteArray> *m_raw;
    qsizetype m_index = 0;
    QString m_name;
    std::optional<QString> m_inlineValue;
    QString m_error;
};

} // namespace

std::array<int, kPicks> parseTicket(const QString &text, QString *error)
{
    // The same reading as the analysis window's ticket check, so that a line typed there works here.
    const analysis::TicketLine line = analysis::parseTicketLine(text.toStdString());
    if (!line.numbers) {
        *error = QStringLiteral("--ticket の \"%1\": %2").arg(text, QString::fromStdString(line.message));
        return {};
    }
    return *line.numbers;
}

ParseResult parseArguments(const QStringList &arguments)
{
    return Parser(arguments, nullptr).run();
}

ParseResult parseArgumentBytes(const QList<QByteArray> &arguments)
{
    QStringList text;
    text.reserve(arguments.size());
    for (const QByteArray &argument : arguments)
        text << QString::fromUtf8(argument);
    return Parser(text, &arguments).run();
}

} // namespace omvex::cli
