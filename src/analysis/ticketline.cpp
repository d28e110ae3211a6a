#include "analysis/ticketline.h"

#include <algorithm>
#include <vector>

namespace omvex::analysis {

namespace {

// Longer than any number of the game: enough to say "out of range" without ever overflowing.
constexpr std::size_t kMaxDigits = 4;

struct Token {
    std::string text; // as typed, for the message
    std::string digits;
    bool isNumber = true;
};

// The length of the UTF-8 sequence that starts with this byte; a stray byte counts as one.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

bool isSeparator(std::string_view ch)
{
    return ch == "," || ch == " " || ch == "\t" || ch == "\r" || ch == "\n" || ch == "、" || ch == "，"
        || ch == "　";
}

// '0'..'9' or full-width '０'..'９' (U+FF10..U+FF19: EF BC 90..99) as a digit character.
std::optional<char> digitOf(std::string_view ch)
{
    if (ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9')
        return ch[0];
    if (ch.size() == 3 && static_cast<unsigned char>(ch[0]) == 0xEF && static_cast<unsigned char>(ch[1]) == 0xBC) {
        const auto last = static_cast<unsigned char>(ch[2]);
        if (last >= 0x90 && last <= 0x99)
            return static_cast<char>('0' + (last - 0x90));
    }
    return std::nullopt;
}

std::vector<Token> split(std::string_view text)
{
    std::vector<Token> tokens;
    bool inToken = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = std::min(sequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
        const std::string_view ch = text.substr(at, length);
        at += length;
        if (isSeparator(ch)) {
            inToken = false;
            continue;
        }
        if (!inToken)
            tokens.emplace_back();
        inToken = true;
        Token &token = tokens.back();
        token.text += ch;
        if (const std::optional<char> digit = digitOf(ch))
            token.digits += *digit;
        else
            token.isNumber = false;
    }
    return tokens;
}

TicketLine failure(std::string code, std::string message)
{
    TicketLine line;
    line.code = std::move(code);
    line.message = std::move(message);
    return line;
}

} // namespace

TicketLine parseTicketLine(std::string_view text)
{
    const std::vector<Token> tokens = split(text);
    if (tokens.empty())
        return failure("empty", "数字がありません。1〜43 の数字を6個入力してください。");
    std::vector<int> numbers;
    for (const Token &token : tokens) {
        if (!token.isNumber)
            return failure("not_a_number", "「" + token.text + "」は 1〜43 の整数として読めません。");
        const std::size_t firstDigit = std::min(token.digits.find_first_not_of('0'), token.digits.size());
        const std::string significant = token.digits.substr(firstDigit);
        const int value = significant.size() > kMaxDigits ? kHighestNumber + 1
                                                          : (significant.empty() ? 0 : std::stoi(significant));
        if (value < 1 || value > kHighestNumber)
            return failure("out_of_range", "「" + token.text + "」は 1〜43 の範囲にありません。");
        if (std::find(numbers.begin(), numbers.end(), value) != numbers.end())
            return failure("repeated", std::to_string(value) + " が2回あります。6個とも違う数字にしてください。");
        numbers.push_back(value);
    }
    if (numbers.size() < static_cast<std::size_t>(kPicks))
        return failure("too_few", "数字が " + std::to_string(numbers.size()) + " 個しかありません。6個入力してください。");
    if (numbers.size() > static_cast<std::size_t>(kPicks))
        return failure("too_many", "数字が " + std::to_string(numbers.size()) + " 個あります。6個にしてください。");
    std::sort(numbers.begin(), numbers.end());
    TicketLine line;
    line.numbers.emplace();
    std::copy(numbers.begin(), numbers.end(), line.numbers->begin());
    return line;
}

} // namespace omvex::analysis
