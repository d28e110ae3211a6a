#include "ui/main/historyintake.h"

#include "import/kakoconversion.h"
#include "import/resultimport.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace omvex::ui {

namespace {

const QString kImportTitle = QStringLiteral("取込");
const QString kFileFilter = QStringLiteral("結果ファイル (*.csv *.txt);;すべてのファイル (*)");

// The problems or changes, one a line: long lines wrap, and the text can be selected and copied.
QPlainTextEdit *problemList(const QStringList &lines, QWidget *parent)
{
    auto *list = new QPlainTextEdit(lines.join(u'\n'), parent);
    list->setObjectName(QStringLiteral("problemList"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    list->setMinimumSize(560, 200);
    return list;
}

} // namespace

StatusLine createStatusLine(QStatusBar &bar)
{
    StatusLine line{&bar, new StatusLabel(&bar)};
    line.history->setObjectName(QStringLiteral("historyStatus"));
    // The window keeps its designed width whatever the text: a line too long is cut, and the
    // whole of it is in the tooltip. The bar only adds its own height below the design.
    line.history->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.setSizeGripEnabled(false);
    bar.addWidget(line.history, 1);
    return line;
}

QString StatusLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void StatusLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment() | Qt::AlignVCenter), shownText());
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

QString ScreenImportDialogs::chooseFile(QWidget *parent, const QString &startFolder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("取り込む結果ファイル"), startFolder, kFileFilter);
}

bool ScreenImportDialogs::confirm(QWidget *parent, const QString &summary, const QStringList &changes)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(kImportTitle);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(summary + QStringLiteral("\n\nkako.txt に書き込みますか？"), &dialog);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    if (!changes.isEmpty()) {
        layout->addWidget(problemList(changes, &dialog), 1);
        auto *replace = new QCheckBox(QStringLiteral("置き換える"), &dialog);
        replace->setObjectName(QStringLiteral("replaceBox"));
        layout->addWidget(replace);
        ok->setEnabled(false);
        QObject::connect(replace, &QCheckBox::toggled, ok, &QPushButton::setEnabled);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
}

void ScreenImportDialogs::report(QWidget *parent, const QString &text, const QStringList &problems)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(kImportTitle);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(text, &dialog);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *buttons = new QDialogButtonBox(&dialog);
    if (!problems.isEmpty()) {
        layout->addWidget(problemList(problems, &dialog), 1);
        QPushButton *copy = buttons->addButton(QStringLiteral("コピー"), QDialogButtonBox::ActionRole);
        QObject::connect(copy, &QPushButton::clicked, &dialog,
                         [all = QStringList{text} + problems] { QGuiApplication::clipboard()->setText(all.join(u'\n')); });
    }
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

// kako.txt that is a results file itself: no import can go onto it until it is the history again.
std::optional<QString> convertKako(const QString &kakoPath, ImportDialogs &dialogs, QWidget *parent)
{
    // The window never waits for another import: it tries the lock once and says it is busy.
    const ImportPlan plan = planConversion(kakoPath, LockWait::Once);
    if (plan.isRefused()) {
        dialogs.report(parent, importSummaryText(plan), importErrorTexts(plan));
        return std::nullopt;
    }
    const QString question =
        QStringLiteral("kako.txt は結果ファイルの形（見出しつき、または新しい順）のため、そのままでは予想に使えません。"
                       "過去データの形（古い順）に変換します。元のファイルは kako.txt.orig に残します。\n\n")
        + importSummaryText(plan);
    if (!dialogs.confirm(parent, question, {}))
        return std::nullopt;
    const ImportWriteResult written = writeConversion(plan, LockWait::Once);
    if (written.outcome != ImportOutcome::Written) {
        dialogs.report(parent, importSummaryText(plan, &written), {});
        return std::nullopt;
    }
    return QStringLiteral("kako.txt を変換しました（元のファイルは kako.txt.orig）");
}

std::optional<QString> importResultFile(const QString &kakoPath, const QString &iniPath, ImportDialogs &dialogs,
                                        QWidget *parent)
{
    if (isKakoResultsFile(kakoPath))
        return convertKako(kakoPath, dialogs, parent);
    const SettingsStore store(iniPath);
    QString start = store.readImportFolder();
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        // Published results are downloaded, so the first choice starts where the browser puts them.
        const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        start = QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
    }
    const QString source = dialogs.chooseFile(parent, start);
    if (source.isEmpty())
        return std::nullopt;
    // Where the file was is worth keeping even when it turns out not to be one to import; not being
    // able to keep it is no reason to stop.
    store.saveImportFolder(QFileInfo(source).absolutePath());

    // The window never waits for another import: it tries the lock once and says it is busy.
    return carryOutImport([&](bool replace) { return planImport(source, kakoPath, replace, LockWait::Once); },
                          dialogs, parent);
}

std::optional<QString> carryOutImport(const std::function<ImportPlan(bool replace)> &planFor, ImportDialogs &dialogs,
                                      QWidget *parent)
{
    ImportPlan plan = planFor(false);
    QStringList changes;
    if (plan.isRefused() && std::all_of(plan.errors.begin(), plan.errors.end(), [](const ImportError &error) {
            return error.code == "conflict" && error.line > 0;
        })) {
        // Only draws that kako.txt holds with other numbers stand in the way: offer to replace them.
        ImportPlan replacing = planFor(true);
        if (!replacing.isRefused()) {
            changes = importErrorTexts(plan);
            plan = std::move(replacing);
        }
    }
    if (plan.isRefused()) {
        dialogs.report(parent, importSummaryText(plan), importErrorTexts(plan));
        return std::nullopt;
    }
    // Nothing to ask about when nothing would change.
    if (!plan.changesKako()) {
        dialogs.report(parent, importSummaryText(plan), {});
        return std::nullopt;
    }
    if (!dialogs.confirm(parent, importSummaryText(plan), changes))
        return std::nullopt;
    const ImportWriteResult written = writeImport(plan, LockWait::Once);
    if (written.outcome != ImportOutcome::Written) {
        dialogs.report(parent, importSummaryText(plan, &written), {});
        return std::nullopt;
    }
    QStringList done;
    if (plan.added > 0)
        done << QStringLiteral("%1回分を追加しました").arg(plan.added);
    if (!plan.replaced.empty())
        done << QStringLiteral("%1回分を置き換えました").arg(plan.replaced.size());
    return done.join(QStringLiteral("、"));
}

} // namespace omvex::ui
