#include "import/kakopreload.h"
#include "omvex/appinfo.h"
#include "platform/filelocations.h"
#include "platform/services.h"
#include "ui/common/look.h"
#include "ui/common/startuptrace.h"
#include "ui/common/translations.h"
#include "ui/main/appstate.h"
#include "ui/main/dialogmessagebox.h"
#include "ui/main/omvex.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

const char *environmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// What the toolkit says while it connects to the display is held back: if it cannot connect, it
// would end the program with an abort and advice about reinstalling, which helps nobody. One
// sentence says instead which display could not be opened, and the program ends with status 1.
// Never an invisible offscreen window in its place.
std::vector<std::pair<QtMsgType, QString>> g_heldMessages;

[[noreturn]] void reportNoDisplay()
{
    const char *display = environmentValue("DISPLAY");
    if (display == nullptr)
        display = environmentValue("WAYLAND_DISPLAY");
    const QString hint = QStringLiteral("（デスクトップから起動するか、xvfb-run omvex のように仮想ディスプレイの下で"
                                        "起動してください）。");
    const QString sentence = display
        ? QStringLiteral("omvex: ディスプレイ「%1」を開けないため起動できません").arg(QString::fromLocal8Bit(display))
        : QStringLiteral("omvex: ディスプレイが設定されていない（DISPLAY も WAYLAND_DISPLAY も空の）ため"
                         "起動できません");
    std::fputs(qPrintable(sentence + hint + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
    _exit(1);
}

void holdStartUpMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin")))
        reportNoDisplay();
    const QString category = context.category && qstrcmp(context.category, "default") != 0
        ? QString::fromLatin1(context.category) + QStringLiteral(": ")
        : QString();
    if (type == QtFatalMsg) {
        // Anything else fatal goes out as the toolkit would say it, after what led up to it.
        for (const auto &[heldType, held] : g_heldMessages)
            std::fputs(qPrintable(held + QLatin1Char('\n')), stderr);
        std::fputs(qPrintable(category + message + QLatin1Char('\n')), stderr);
        std::abort();
    }
    g_heldMessages.emplace_back(type, category + message);
}

// The display is open: what was held back goes out as usual.
void releaseStartUpMessages()
{
    qInstallMessageHandler(nullptr);
    for (const auto &[type, message] : g_heldMessages)
        qt_message_output(type, QMessageLogContext(), message);
    g_heldMessages.clear();
}

} // namespace

int main(int argc, char *argv[])
{
    omvex::ui::startupCheckpoint("main");
    // The program finds its files by its folder's name; a name that is not UTF-8 cannot be
    // turned into text and back without change, so no file would be found, or the wrong one.
    QString folderError;
    const std::optional<QString> folder = omvex::platform::programFolder(&folderError);

    qInstallMessageHandler(holdStartUpMessage);
    QApplication app(argc, argv);
    releaseStartUpMessages();
    omvex::ui::startupCheckpoint("application");
    // The history is read on a second core while the window is built.
    std::optional<omvex::KakoPreload> kakoPreload;
    if (folder)
        kakoPreload.emplace(omvex::locateFiles(*folder).KakoFilePath);

    QApplication::setApplicationName(QStringLiteral("Omvex"));
    omvex::ui::registerFontSubstitutes();
    QApplication::setStyle(omvex::ui::createProgramStyle());
    omvex::ui::installQtTranslations(&app);
    omvex::ui::startupCheckpoint("translations");

    if (!folder) {
        const QString text = QStringLiteral("プログラムのフォルダ名に UTF-8 でない文字が含まれているか、フォルダが"
                                            "分からないため、ファイルを探せず起動できません（フォルダ名を英数字などに"
                                            "付け直してから起動してください）。\n%1")
                                 .arg(folderError);
        std::fputs(qPrintable(QStringLiteral("omvex: ") + text.section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n')),
                   stderr);
        std::fflush(stderr);
        QApplication::setWindowIcon(omvex::ui::omvexIcon());
        omvex::ui::DialogMessageBox(nullptr).show(omvex::kAppTitle, text);
        return 1;
    }

    try {
        omvex::ui::AppState state;
        omvex::ui::OmvexServices services;
        services.programFolder = *folder;
        services.kakoPreload = &*kakoPreload;
        omvex::ui::Omvex window(state, services);
        omvex::ui::startupCheckpoint("window");
        window.show();
        omvex::ui::startupCheckpoint("shown");
        // The icon is for the frame and the task bar. The window system asks for all of its sizes
        // when the window appears, and drawing them would hold back the window's first paint.
        omvex::ui::afterFirstPaint(app, [] { QApplication::setWindowIcon(omvex::ui::omvexIcon()); });
        // Installed last, so that its end comes before the icon.
        omvex::ui::endAfterFirstPaintWhenTracing(app);
        return QApplication::exec();
    } catch (const std::exception &error) {
        QApplication::setWindowIcon(omvex::ui::omvexIcon());
        QMessageBox::critical(
            nullptr, omvex::kAppTitle,
            QStringLiteral("予期しないエラーのため終了します。\n%1").arg(QString::fromLocal8Bit(error.what())));
        return 1;
    }
}
