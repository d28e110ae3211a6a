#include "import/importmerge.h"

#include "platform/textscan.h"

#include <QStringList>

namespace omvex {

namespace {

// A cell as kako.txt must give it for the reader to store the same cell again. Only a text read
// from quotes can hold a comma or blanks at its ends; quotes bring those back. (No text cell can
// hold a quote at its start or a line end: the reader ends fields there.)
QByteArray kakoField(const std::string &text)
{
    const bool needsQuotes = text.find(',') != std::string::npos
        || (!text.empty() && (platform::isBlank(text.front()) || platform::isBlank(text.back())));
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    return needsQuotes ? '"' + bytes + '"' : bytes;
}

QByteArray rowLine(const CellGrid &history, int row)
{
    QByteArray line = QByteArray::number(row);
    for (int column = 1; column <= history.columnCount(); ++column)
        line += ',' + kakoField(history.text(column, row));
    return line + '\n';
}

// A cell the reader cut to its length, blanks and quotes: only the row's own bytes give them back.
QByteArray keptLine(const CellGrid &history, int row, const KakoRows *kept)
{
    if (kept && static_cast<std::size_t>(row) < kept->spans.size()) {
        const ByteSpan span = kept->spans[static_cast<std::size_t>(row)];
        if (span.end > span.begin && span.end <= kept->content.size())
            return QByteArray(kept->content.data() + span.begin, static_cast<qsizetype>(span.end - span.begin)) + '\n';
    }
    return rowLine(history, row);
}

QByteArray drawLine(const SourceDraw &draw)
{
    QByteArray line = QByteArray::number(draw.draw);
    for (const int number : draw.main)
        line += ',' + QByteArray::number(number);
    return line + ',' + QByteArray::number(draw.bonus) + '\n';
}

QString rowText(const CellGrid &history, int row)
{
    QStringList cells;
    for (int column = 1; column < history.columnCount(); ++column)
        cells << QString::fromStdString(history.text(column, row));
    return cells.join(u',') + QStringLiteral(" ボーナス") + QString::fromStdString(history.text(history.columnCount(), row));
}

QString drawText(const SourceDraw &draw)
{
    QStringList numbers;
    for (const int number : draw.main)
        numbers << QString::number(number);
    return numbers.join(u',') + QStringLiteral(" ボーナス%1").arg(draw.bonus);
}

} // namespace

ImportMerge mergeDraws(const CellGrid &history, const DrawHistory &rows, const std::vector<SourceDraw> &draws,
                       bool replace, ImportErrorList &errors, const KakoRows *kept)
{
    ImportMerge merge;
    const int last = std::max(history.rowCount(), draws.empty() ? 0 : draws.back().draw);
    auto incoming = draws.begin();
    for (int row = 1; row <= last; ++row) {
        const SourceDraw *draw = incoming != draws.end() && incoming->draw == row ? &*incoming++ : nullptr;
        const bool held = rows.isHeld(row);
        if (!draw && !held)
            continue;
        ++merge.held.count;
        merge.held.first = merge.held.first == 0 ? row : merge.held.first;
        merge.held.last = row;
        if (!held) {
            ++merge.added;
            merge.content += drawLine(*draw);
            continue;
        }
        if (!draw) {
            merge.content += keptLine(history, row, kept);
            continue;
        }
        const Draw *current = rows.usable(row);
        if (current && isSameDraw(current->main, current->bonus, draw->main, draw->bonus)) {
            ++merge.unchanged;
            merge.content += keptLine(history, row, kept);
        } else if (replace) {
            merge.replaced.push_back(row);
            merge.content += drawLine(*draw);
        } else {
            errors.add(draw->line, "conflict",
                       QStringLiteral("第%1回の数字が kako.txt（%2）と違います（このファイル: %3）")
                           .arg(row)
                           .arg(rowText(history, row), drawText(*draw)));
            merge.content += keptLine(history, row, kept);
        }
    }
    return merge;
}

} // namespace omvex
