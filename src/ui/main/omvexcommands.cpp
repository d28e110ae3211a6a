// The design's commands that open something beside the main window: the text editor on kako.txt,
// the settings and version dialogs, and the help.

#include "ui/main/omvex.h"
#include "omvex/appinfo.h"

#include "platform/outsideprograms.h"
#include "settings/settingsstore.h"
#include "ui/dialogs/shoki.h"
#include "ui/dialogs/verj.h"

namespace omvex::ui {

void Omvex::Y_Kako_Click()
{
    runGuarded([this] {
        const EditorStartResult started = openHistoryInEditor(m_notepadPath, m_kakoFilePath, *m_processes);
        if (!started.ok)
            m_messages->show(kAppTitle, started.error);
    });
}

void Omvex::Y_Shoki_Click()
{
    runGuarded([this] {
        const SettingsStore store(m_app.IniFilePath);
        Shoki dialog(m_app.settings, store, *m_messages);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.exec();
    });
}

void Omvex::Y_Setumei_Click()
{
    runGuarded([this] { m_help->open(m_helpFilePath); });
}

void Omvex::Y_Ver_Click()
{
    runGuarded([] {
        Verj dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.exec();
    });
}

} // namespace omvex::ui
