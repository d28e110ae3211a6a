#pragma once

#include "history/draws.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// One reason an import is refused: the line of the source file (0 for a file as a whole), a stable
// English code for scripts and a Japanese reason for people.
struct ImportError {
    int line = 0;
    std::string code;
    QString message;
};

// The first kKept problems by line, and how many more there were: a file of a million bad lines
// must neither fill the memory nor bury the first mistakes under the rest.
class ImportErrorList {
public:
    static constexpr std::size_t kKept = 100;

    // Problems may arrive in any order of lines; those on one line keep the order they came in.
    void add(int line, std::string code, QString message);

    const std::vector<ImportError> &errors() const { return m_errors; }
    int moreCount() const { return m_more; }
    bool isEmpty() const { return m_errors.empty(); }

private:
    std::vector<ImportError> m_errors;
    int m_more = 0;
};

// A draw as a result file gives it, with the main numbers in the file's order.
struct SourceDraw {
    int draw = 0;
    std::array<int, kPicks> main{};
    int bonus = 0;
    int line = 0; // first line of the file that gave it
};

struct ResultFile {
    QString format;   // "kako" (8 fields) or "dated" (9 or more); empty when no line holds a draw
    QString encoding; // "UTF-8" or "Shift-JIS"
    std::vector<SourceDraw> draws; // every valid draw once, ascending draw number
    ImportErrorList errors;
};

// Decodes and checks the bytes of a published result file, or of a kako.txt. The format and the
// encoding come from the content. Never throws; besides the decoded text, what it keeps grows with
// the count of distinct draws (at most 99,999), not with the count of lines.
ResultFile readResultFile(const QByteArray &bytes);

// How many draws the content gives as a results file without a single problem; 0 otherwise. What
// the history load asks about a kako.txt whose first line stopped the reading.
int resultFileDraws(std::string_view content);

} // namespace omvex
