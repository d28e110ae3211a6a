#include "history/importmerge.h"

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

ImportMerge mergeDraws(const CellGrid &history, const DrawHistory &rows, const std::vector<SourceDraw> &draws, bool replace,
                       ImportErrorList &errors)
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
            merge.content += rowLine(history, row);
            continue;
        }
        const Draw *current = rows.usable(row);
        if (current && isSameDraw(current->main, current->bonus, draw->main, draw->bonus)) {
            ++merge.unchanged;
            merge.content += rowLine(history, row);
        } else if (replace) {
            merge.replaced.push_back(row);
            merge.content += drawLine(*draw);
        } else {
            errors.add(draw->line, "conflict",
                       QStringLiteral("第%1回の数字が kako.txt（%2）と違います（このファイル: %3）。このファイルの数字にするには"
                                      "置き換えを指定してください")
                           .arg(row)
                           .arg(rowText(history, row), drawText(*draw)));
            merge.content += rowLine(history, row);
        }
    }
    return merge;
}

} // namespace omvex
