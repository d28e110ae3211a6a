#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace omvex::cli {

namespace {

constexpr int kHighestNumber = 43;

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
    case Command::Journal:
        return QStringLiteral("--journal");
    case Command::Help:
        return QStringLiteral("--help");
    case Command::Predict:
        break;
    }
    return QString();
}

// Not QCommandLineParser: it reports unknown options before bad values whatever their order, in
// English, and takes "-abc" as three short options; the tool reports the first problem in the order
// given, in Japanese, and refuses anything it does not name. Keeping this small loop is what keeps
// every message, its order and the exit status as scripts know them.
class Parser {
public:
    explicit Parser(const QStringList &arguments) : m_arguments(arguments) {}

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
            } else if (name == QLatin1String("--check")) {
                noValue();
                setCommand(command, Command::Check);
            } else if (name == QLatin1String("--backtest")) {
                noValue();
                setCommand(command, Command::Backtest);
            } else if (name == QLatin1String("--stats")) {
                noValue();
                setCommand(command, Command::Stats);
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
            } else if (name == QLatin1String("--chart")) {
                o.chartPath = value();
                if (m_error.isEmpty() && o.chartPath.isEmpty())
                    fail(QStringLiteral("--chart に PNG ファイル名を指定してください"));
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
                fail(QStringLiteral("知らないオプションです: %1（--help で使い方を表示）").arg(m_arguments.at(m_index)));
            }
        }
        if (m_error.isEmpty()) {
            Options &o = result.options;
            o.command = command.value_or(Command::Predict);
            const QString which = commandOption(o.command);
            if (o.command == Command::Help) {
                // --help wins over everything else given with it.
            } else if (o.save && o.command != Command::Predict) {
                fail(QStringLiteral("--save は %1 と一緒には使えません").arg(which));
            } else if (sawRunOption && o.command != Command::Predict && o.command != Command::Backtest) {
                fail(QStringLiteral("--level/--pattern/--kako/--seed は %1 と一緒には使えません").arg(which));
            } else if (o.record && o.command != Command::Predict) {
                fail(QStringLiteral("--record は %1 と一緒には使えません").arg(which));
            } else if (o.last && o.command != Command::Backtest && o.command != Command::Stats) {
                fail(QStringLiteral("--last は --backtest か --stats と一緒にだけ使えます"));
            } else if (o.draw && o.command != Command::Ticket) {
                fail(QStringLiteral("--draw は --ticket と一緒にだけ使えます"));
            } else if (o.replace && o.command != Command::Import) {
                fail(QStringLiteral("--replace は --import と一緒にだけ使えます"));
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

    void setCommand(std::optional<Command> &command, Command wanted)
    {
        // Several tickets are checked in one run; a second file to import would silently replace the first.
        if (command && *command == wanted && wanted == Command::Import)
            fail(QStringLiteral("--import は一度だけ指定してください"));
        else if (command && *command != wanted && *command != Command::Help && wanted != Command::Help)
            fail(QStringLiteral("%1 と %2 は一緒には使えません").arg(commandOption(*command), commandOption(wanted)));
        else if (!command || wanted == Command::Help)
            command = wanted;
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
            if (high == std::numeric_limits<int>::max())
                fail(QStringLiteral("%1 の値 \"%2\" は %3 以上の整数ではありません").arg(m_name, text).arg(low));
            else
                fail(QStringLiteral("%1 の値 \"%2\" は %3 から %4 までの整数ではありません")
                         .arg(m_name, text)
                         .arg(low)
                         .arg(high));
            return std::nullopt;
        }
        return static_cast<int>(*number);
    }

    const QStringList &m_arguments;
    qsizetype m_index = 0;
    QString m_name;
    std::optional<QString> m_inlineValue;
    QString m_error;
};

} // namespace

std::array<int, 6> parseTicket(const QString &text, QString *error)
{
    std::array<int, 6> numbers{};
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 6) {
        *error = QStringLiteral("--ticket には 1 から 43 までの異なる数字を 6 つ、カンマで区切って指定してください"
                                "（\"%1\" は %2 個）")
                     .arg(text)
                     .arg(parts.size());
        return numbers;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        const auto value = parseUnsigned(part);
        if (!value || *value < 1 || *value > kHighestNumber) {
            *error = QStringLiteral("--ticket の \"%1\" は 1 から 43 までの整数ではありません").arg(part);
            return numbers;
        }
        const int number = static_cast<int>(*value);
        if (std::find(numbers.begin(), numbers.begin() + i, number) != numbers.begin() + i) {
            *error = QStringLiteral("--ticket に %1 が二度あります（6 つとも異なる数字にしてください）").arg(number);
            return numbers;
        }
        numbers[static_cast<std::size_t>(i)] = number;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

ParseResult parseArguments(const QStringList &arguments)
{
    return Parser(arguments).run();
}

QString helpText()
{
    return QStringLiteral(
        "使い方: omvex-predict [オプション]\n"
        "\n"
        "プログラムのフォルダ（または --folder のフォルダ）の \"omvex.ini\" と \"kako.txt\" を読み、\n"
        "画面の「予想開始」と同じ手順で２回の予想をして、１行ずつ表示します。\n"
        "\n"
        "予想:\n"
        "  --level N      この実行だけ Level を N にする（0 標準, 1 梅, 2 竹, 3 松）\n"
        "  --pattern N    この実行だけ Pattern を N にする（0 選択, 1 すべて）\n"
        "  --kako N       この実行だけ Kako を N にする（0 並, 1 上, 2 特上, 3 無し）\n"
        "  --seed N       乱数の種（同じ種と同じファイルなら同じ結果）\n"
        "  --save         この実行の設定を \"omvex.ini\" に保存する（初期設定の OK と同じ）\n"
        "  --record       ２回の予想を次の回の分として \"kiroku.txt\" に書き足す\n"
        "\n"
        "ほかの働き（どれか一つ）:\n"
        "  --check        \"kako.txt\" だけを読み、どこまで読めたかを表示する\n"
        "  --backtest     過去の各回を、それより前の回だけから予想して当たりを数え、\n"
        "                 でたらめに選んだ数字と比べる（--last N で最後の N 回だけ）\n"
        "  --ticket 3,11,17,25,36,42\n"
        "                 6 つの数字が過去の各回で何等に当たったかを数える（何度でも指定できる）\n"
        "  --draw N       --ticket の数字を第 N 回とだけ照合する\n"
        "  --stats        各数字の出た回数を偶然の期待値と比べる（--chart FILE.png でグラフ、\n"
        "                 --last N で最後の N 回だけ）\n"
        "  --import FILE  結果ファイルの回を \"kako.txt\" に取り込む（前の内容は kako.txt.bak に残す）\n"
        "  --replace      --import で、kako.txt と違う数字の回をファイルの数字で置き換える\n"
        "  --journal      \"kiroku.txt\" の予想を当せん数字と照合し、偶然と比べる\n"
        "\n"
        "共通:\n"
        "  --folder DIR   \"omvex.ini\" と \"kako.txt\" のあるフォルダ\n"
        "  --json         結果を JSON で出力する（版、設定、種、kako.txt の SHA-256 付き）\n"
        "  --help         この説明\n"
        "\n"
        "終了状態: 0 成功, 1 \"kako.txt\" を最後まで読めなかった（--check）、取り込めなかった（--import）、\n"
        "          その回がない（--draw）、\"kiroku.txt\" を読めなかった（--journal）,\n"
        "          2 オプションの誤り, 3 ファイルを書けなかった\n");
}

} // namespace omvex::cli
