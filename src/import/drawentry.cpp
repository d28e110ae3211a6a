#include "import/drawentry.h"

#include "history/draws.h"
#include "import/resultfields.h"
#include "import/resultfile.h"

namespace omvex {

QByteArray enteredDrawLine(const EnteredDraw &entered)
{
    QStringList fields{halfWidth(entered.draw).trimmed()};
    for (const QString &main : entered.main)
        fields << halfWidth(main).trimmed();
    fields << halfWidth(entered.bonus).trimmed();
    // A comma typed into a box must not make a field of its own.
    for (QString &field : fields)
        field.remove(u',');
    return fields.join(u',').toUtf8() + '\n';
}

std::optional<QString> enteredDrawProblem(const EnteredDraw &entered)
{
    // An empty box would shift the line's fields; say which one it is.
    if (entered.draw.trimmed().isEmpty())
        return QStringLiteral("回号がありません");
    for (std::size_t k = 0; k < entered.main.size(); ++k) {
        if (entered.main[k].trimmed().isEmpty())
            return QStringLiteral("本数字%1がありません").arg(k + 1);
    }
    if (entered.bonus.trimmed().isEmpty())
        return QStringLiteral("ボーナス数字がありません");
    const ResultFile file = readResultFile(enteredDrawLine(entered));
    if (!file.errors.isEmpty())
        return file.errors.errors().front().message;
    if (file.draws.size() != 1)
        return QStringLiteral("回号がありません");
    return std::nullopt;
}

int latestUsableDraw(const CellGrid &history)
{
    for (int row = history.rowCount(); row >= 1; --row) {
        if (usableDrawAt(history, row))
            return row;
    }
    return 0;
}

DrawEntryResult addEnteredDraw(const QString &kakoPath, const EnteredDraw &entered, bool replace, LockWait wait)
{
    if (const std::optional<QString> problem = enteredDrawProblem(entered))
        return {DrawEntryResult::Outcome::Refused, *problem};
    const ImportPlan plan = planImportData(enteredDrawLine(entered), QStringLiteral("結果の入力"), kakoPath, replace, wait);
    const int draw = halfWidth(entered.draw).trimmed().toInt();
    if (plan.isRefused()) {
        const ImportError &first = plan.errors.front();
        if (first.code == "conflict" && plan.errors.size() == 1)
            return {DrawEntryResult::Outcome::HeldWithOtherNumbers,
                    QStringLiteral("第%1回は kako.txt に違う数字で入っています。入力した数字にするには「置き換える」を"
                                   "チェックしてください")
                        .arg(draw)};
        return {DrawEntryResult::Outcome::Refused, importErrorText(first)};
    }
    if (plan.unchanged == 1)
        return {DrawEntryResult::Outcome::AlreadyHeld, QStringLiteral("第%1回は同じ数字で kako.txt に入っています").arg(draw)};
    const ImportWriteResult written = writeImport(plan, wait);
    if (written.outcome != ImportOutcome::Written)
        return {DrawEntryResult::Outcome::Refused, written.message};
    if (!plan.replaced.empty())
        return {DrawEntryResult::Outcome::Replaced, QStringLiteral("第%1回の数字を置き換えました").arg(draw)};
    return {DrawEntryResult::Outcome::Added, QStringLiteral("第%1回を追加しました").arg(draw)};
}

} // namespace omvex
