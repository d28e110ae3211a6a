#include "omvexharness.h"

#include <QTest>

#include <algorithm>

namespace omvex::test {

ui::Omvex &OmvexHarness::start()
{
    ui::OmvexServices services;
    services.messages = &messages;
    services.processes = &processes;
    services.help = &help;
    services.programFolder = folder.path();
    services.editorSearchPath = folder.editorSearchPath(withEditor);
    services.pauseLength = pause;
    services.pauseClock = [this] { return now; };
    services.seedFromClock = seedFromClock;
    services.endProgram = [this] { ++endProgramCalls; };
    services.importDialogs = importDialogs;
    services.fetch = fetch;
    services.kakoPreload = kakoPreload;
    window = std::make_unique<ui::Omvex>(state, services);
    window->show();
    return *window;
}

bool OmvexHarness::trigger(const char *actionName) const
{
    QAction *command = action(actionName);
    if (command == nullptr)
        return false;
    command->trigger();
    return true;
}

QStringList OmvexHarness::numbers(int pass) const
{
    QStringList texts;
    for (int i = 1; i <= 6; ++i) {
        const QLabel *number = control<QLabel>(QStringLiteral("Label%1(%2)").arg(pass + 1).arg(i));
        texts.append(number ? number->text() : QStringLiteral("<missing>"));
    }
    return texts;
}

int OmvexHarness::shownArrow() const
{
    const bool first = !label("Label5(0)")->isHidden();
    const bool second = !label("Label5(1)")->isHidden();
    if (first == second)
        return first ? 2 : -1;
    return first ? 0 : 1;
}

int OmvexHarness::shownPass() const
{
    int shown = -1;
    for (int pass = 0; pass < 2; ++pass) {
        const bool lines = !control<QWidget>(QStringLiteral("vaSpread1(%1)").arg(pass))->isHidden();
        const bool scores = !control<QWidget>(QStringLiteral("vaSpread3(%1)").arg(pass))->isHidden();
        if (lines != scores)
            return -1;
        if (lines) {
            if (shown != -1)
                return -1;
            shown = pass;
        }
    }
    return shown;
}

bool OmvexHarness::runSequence(const std::function<void()> &inFirstPause)
{
    if (!trigger("Y_Start"))
        return false;
    if (inFirstPause) {
        if (!window->isSequenceRunning())
            return false;
        inFirstPause();
    }
    return finishSequence();
}

bool OmvexHarness::finishSequence()
{
    return QTest::qWaitFor(
        [this] {
            now += pause;
            return !window->isSequenceRunning();
        },
        30000);
}

bool isEmptyRow(const QStringList &texts)
{
    return std::all_of(texts.begin(), texts.end(), [](const QString &text) { return text.isEmpty(); });
}

bool isProposal(const QStringList &texts)
{
    if (texts.size() != 6)
        return false;
    int previous = 0;
    for (const QString &text : texts) {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number <= previous || number > 43)
            return false;
        previous = number;
    }
    return true;
}

} // namespace omvex::test
