#include "import/resultcolumns.h"

#include <algorithm>
#include <initializer_list>

namespace omvex {

namespace {

// Lower case, without blanks and punctuation, circled and full-width digits as ASCII: "BONUS 数字",
// "bonus_数字" and "ＢＯＮＵＳ数字" are one name.
QString nameKey(QStringView name)
{
    QString key = name.toString().normalized(QString::NormalizationForm_KC).toLower();
    key.removeIf([](QChar c) { return c.isSpace() || c.isPunct() || c.isSymbol(); });
    return key;
}

bool isOneOf(const QString &key, std::initializer_list<QStringView> names)
{
    return std::any_of(names.begin(), names.end(), [&](QStringView name) { return key == name; });
}

bool isDrawName(const QString &key)
{
    return isOneOf(key, {u"回号", u"開催回", u"抽せん回", u"抽選回", u"回別", u"回", u"回数", u"第n回", u"第回", u"開催回号",
                         u"抽せん回号", u"抽選回号", u"draw", u"drawno", u"drawnumber", u"drawnum", u"no", u"round"});
}

bool isDateName(const QString &key)
{
    return isOneOf(key, {u"抽選日", u"抽せん日", u"日付", u"開催日", u"抽選日付", u"抽せん日付", u"年月日", u"date",
                         u"drawdate"});
}

bool isBonusName(const QString &key)
{
    return isOneOf(key, {u"ボーナス数字", u"bonus数字", u"ボーナス", u"ボーナス番号", u"ボ", u"bonus", u"bonusnumber",
                         u"bonusno", u"bonusball", u"bn", u"b"});
}

bool isMainStem(const QString &stem)
{
    return isOneOf(stem, {u"本数字", u"第数字", u"第本数字", u"本数字第", u"数字", u"当せん数字", u"当選数字", u"当せん番号",
                          u"当選番号", u"番号", u"n", u"num", u"number", u"ball", u"main", u"mainnumber"});
}

// The k (1..6) of a main-number name such as "本数字3" or "第3数字"; 0 for a name without one
// digit, and -1 for any other name.
int mainIndex(const QString &key)
{
    const qsizetype digit = std::find_if(key.begin(), key.end(), [](QChar c) { return c.isDigit(); }) - key.begin();
    if (digit == key.size())
        return isMainStem(key) || isOneOf(key, {u"numbers", u"mainnumbers"}) ? 0 : -1;
    const int k = key[digit].digitValue();
    if (k < 1 || k > 6 || (digit + 1 < key.size() && key[digit + 1].isDigit()))
        return -1;
    QString stem = key;
    stem.remove(digit, 1);
    return isMainStem(stem) ? k : -1;
}

} // namespace

std::optional<ResultColumns> columnsFromHeader(const ResultFields &header)
{
    ResultColumns columns;
    columns.draw = -1;
    columns.main.fill(-1);
    columns.bonus = -1;
    const auto claim = [](int &slot, int column) {
        if (slot < 0)
            slot = column;
    };
    for (int column = 0; column < header.count(); ++column) {
        const QString key = nameKey(header.at(column));
        if (key.isEmpty())
            continue;
        if (isDrawName(key)) {
            claim(columns.draw, column);
        } else if (isDateName(key)) {
            claim(columns.date, column);
        } else if (isBonusName(key)) {
            claim(columns.bonus, column);
        } else if (const int k = mainIndex(key); k > 0) {
            claim(columns.main[static_cast<std::size_t>(k - 1)], column);
        } else if (k == 0 && columns.main[0] < 0) {
            // One heading over the six columns of a merged cell: the five after it have none.
            bool spans = true;
            for (int next = column + 1; next < column + 6; ++next)
                spans = spans && nameKey(header.at(next)).isEmpty();
            if (spans) {
                for (std::size_t i = 0; i < columns.main.size(); ++i)
                    columns.main[i] = column + static_cast<int>(i);
                column += 5;
            }
        }
    }
    const bool complete = columns.draw >= 0 && columns.bonus >= 0
        && std::none_of(columns.main.begin(), columns.main.end(), [](int c) { return c < 0; });
    if (!complete)
        return std::nullopt;
    return columns;
}

} // namespace omvex
