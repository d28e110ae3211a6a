#pragma once

#include "platform/services.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace omvex::test {

// Records what would have been shown instead of showing it.
class RecordingMessageBox final : public platform::MessageBox {
public:
    struct Shown {
        QString title;
        QString text;
    };
    void show(const QString &title, const QString &text) override { shown.append({title, text}); }
    QList<Shown> shown;
};

// Records each start; succeeds or fails with a reason as told.
class RecordingProcessStarter final : public platform::ProcessStarter {
public:
    struct Started {
        QString program;
        QStringList arguments;
    };
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override
    {
        started.append({program, arguments});
        if (!failure.isEmpty() && error)
            *error = failure;
        return failure.isEmpty();
    }
    QString failure; // empty: every start succeeds
    QList<Started> started;
};

class RecordingHelpViewer final : public platform::HelpViewer {
public:
    void open(const QString &helpFilePath) override { opened.append(helpFilePath); }
    QStringList opened;
};

} // namespace omvex::test
