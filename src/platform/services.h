#pragma once

#include <QString>
#include <QStringList>

namespace omvex::platform {

// A modal message box with one OK button and no icon.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString &title, const QString &text) = 0;
};

// Starts an outside program without a shell and without waiting for it.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Returns false and fills error when the program could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments, QString *error) = 0;
};

// The default starter: QProcess::startDetached.
class DetachedProcessStarter final : public ProcessStarter {
public:
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override;
};

// Shows a help file; the main window supplies the viewer.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void open(const QString &helpFilePath) = 0;
};

// The folder of the running executable, without a trailing "/" unless it is "/".
QString programFolder();

} // namespace omvex::platform
