#pragma once

#include "platform/problem.h"
#include "engine/game.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace omvex {

// One reason an import is refused: the line of the source file (0 for a file as a whole), a stable
// English code for scripts and a Japanese reason for people. The same problem in the same column on
// many lines is one entry: its first and last line and how many lines have it.
struct ImportError : Problem {
    int lastLine = 0; // equal to line for a problem of one line
    int count = 1;
    std::string kind{};  // not-results: what the file looks like (json, html, image, archive, binary)
    std::string field{}; // the column a grouped problem is in; empty for a problem never grouped
};

// The first kKept problems by line, and how many more there were: a file of a million bad lines
// must neither fill the memory nor bury the first mistakes under the rest.
class ImportErrorList {
public:
    static constexpr std::size_t kKept = 100;

    // Problems may arrive in any order of lines; those on one line keep the order they came in.
    // A problem with a field joins an earlier one of the same code and field.
    void add(int line, std::string code, QString message, std::string field = {});
    void add(ImportError error);

    const std::vector<ImportError> &errors() const { return m_errors; }
    int moreCount() const { return m_more; }
    bool isEmpty() const { return m_errors.empty(); }

private:
    std::vector<ImportError> m_errors;
    int m_more = 0;
    std::map<std::pair<std::string, std::string>, int> m_groups; // code and field: the group's first line
};

// "12行目: …", or "2〜1198行目: …（1197件）" for a problem on many lines; a file's own problem alone.
QString importErrorText(const ImportError &error);

// A draw as a result file gives it, with the main numbers in the file's order.
struct SourceDraw {
    int draw = 0;
    std::array<int, kPicks> main{};
    int bonus = 0;
    int line = 0; // first line of the file that gave it
};

struct ResultFile {
    QString format;   // "kako" (no date) or "dated"; empty when no line holds a draw
    QString encoding; // "UTF-8", "Shift-JIS", "UTF-16LE" or "UTF-16BE"; empty when it is no text
    bool byHeader = false; // the columns were found by the names in the header line
    std::vector<SourceDraw> draws; // every valid draw once, ascending draw number
    ImportErrorList errors;
};

// Decodes and checks the bytes of a published result file, or of a kako.txt. The format, the
// columns, the separator (comma or tab) and the encoding come from the content; a file that cannot
// be a results file gives one "not-results" error and no draws. Never throws; besides the decoded text, what it keeps grows with
// the count of distinct draws (at most 99,999), not with the count of lines.
ResultFile readResultFile(const QByteArray &bytes);

// How many draws the content gives as a results file without a single problem; 0 otherwise. What
// the history load asks about a kako.txt whose first line stopped the reading.
int resultFileDraws(std::string_view content);

} // namespace omvex
