#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

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

// Whether bytes are well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool isValidUtf8(const QByteArray &bytes);

// The folder of the running executable (from /proc/self/exe), without a trailing "/" unless it is
// "/". Qt decodes file names as UTF-8 and would silently drop bytes that are not, which would make
// the program look for its files in another folder; so a folder whose name is not valid UTF-8, or
// that cannot be found at all, gives nullopt and one Japanese line in error, never a stand-in folder.
std::optional<QString> programFolder(QString *error);


} // namespace omvex::platform
