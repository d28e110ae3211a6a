#include "ui/main/historyintake.h"

#include "history/resultimport.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>


namespace omvex::ui {

namespace {

const QString kImportTitle = QStringLiteral("取込");
const QString kFileFilter = QStringLiteral("結果ファイル (*.csv *.txt);;すべてのファイル (*)");

} // namespace

StatusLine createStatusLine(QStatusBar &bar)
{
    StatusLine line{&bar, new QLabel(&bar)};
    line.history->setObjectName(QStringLiteral("historyStatus"));
    // The window keeps its designed width whatever the text: a line too long is cut, and the
    // whole of it is in the tooltip. The bar only adds its own height below the design.
    line.history->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.setSizeGripEnabled(false);
    bar.addWidget(line.history, 1);
    return line;
}

void showHistoryStatus(const StatusLine &line, const QString &text)
{
    line.bar->clearMessage();
    line.history->setText(text);
    line.history->setToolTip(text);
}

void showStatusNote(const StatusLine &line, const QString &text)
{
    line.bar->showMessage(text);
}

QString ScreenImportDialogs::chooseFile(QWidget *parent)
{
    // Published results are downloaded, so the choice starts where the browser puts them.
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString start = QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
    return QFileDialog::getOpenFileName(parent, QStringLiteral("取り込む結果ファイル"), start, kFileFilter);
}

bool ScreenImportDialogs::confirm(QWidget *parent, const QString &summary)
{
    QMessageBox box(QMessageBox::Question, kImportTitle, summary + QStringLiteral("\n\nkako.txt に書き込みますか？"),
                    QMessageBox::NoButton, parent);
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}

void ScreenImportDialogs::report(QWidget *parent, const QString &text, const QStringList &problems)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(kImportTitle);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(text, &dialog);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    // Up to a hundred lines: in a box of their own that scrolls, never a dialog taller than the screen.
    if (!problems.isEmpty()) {
        auto *list = new QPlainTextEdit(problems.join(u'\n'), &dialog);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setMinimumSize(560, 200);
        layout->addWidget(list, 1);
    }
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

bool importResultFile(const QString &kakoPath, ImportDialogs &dialogs, QWidget *parent)
{
    const QString source = dialogs.chooseFile(parent);
    if (source.isEmpty())
        return false;
    const ImportPlan plan = planImport(source, kakoPath, false);
    if (plan.isRefused()) {
        dialogs.report(parent, importSummaryText(plan), importErrorTexts(plan));
        return false;
    }
    // Nothing to ask about when nothing would change.
    if (!plan.changesKako()) {
        dialogs.report(parent, importSummaryText(plan), {});
        return false;
    }
    if (!dialogs.confirm(parent, importSummaryText(plan)))
        return false;
    const ImportWriteResult written = writeImport(plan);
    if (written.outcome != ImportOutcome::Written) {
        dialogs.report(parent, importSummaryText(plan, &written), {});
        return false;
    }
    return true;
}

} // namespace omvex::ui
