#pragma once

#include "platform/services.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

class QListWidget;
class QSplitter;
class QTextBrowser;

namespace omvex::ui {

// The help file's own window: its headings as a contents list beside the rendered Markdown.
// A file that cannot be shown is explained inside the window, never by a message box, so the
// user sees which file it looked for and why it failed.
class HelpWindow final : public QWidget {
    Q_OBJECT

public:
    // Larger files are refused: a help text is a few pages, and reading anything else whole
    // would freeze the window.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit HelpWindow(QWidget *parent = nullptr);

    // Reads and shows the file; returns whether it could be shown.
    bool load(const QString &path);

    const QString &path() const { return m_path; }
    QStringList headings() const;
    // Scrolls the heading at this index of the contents list to the top of the text.
    void showHeading(int index);

    QListWidget *contents() const { return m_contents; }
    QTextBrowser *text() const { return m_text; }

private:
    void showProblem(const QString &reason);
    void fitContentsToHeadings();

    QString m_path;
    QSplitter *m_splitter;
    QListWidget *m_contents;
    QTextBrowser *m_text;
    std::vector<int> m_headingPositions;
};

// Opens help files in one HelpWindow, made on first use and reused afterwards.
class WindowHelpViewer final : public platform::HelpViewer {
public:
    explicit WindowHelpViewer(QWidget *owner) : m_owner(owner) {}
    ~WindowHelpViewer() override;
    void open(const QString &helpFilePath) override;

    HelpWindow *window() const { return m_window; }

private:
    QPointer<QWidget> m_owner;
    QPointer<HelpWindow> m_window;
};

} // namespace omvex::ui
