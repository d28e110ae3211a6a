#pragma once

#include "settings/settingsstore.h"
#include "support/fakeservices.h"
#include "support/programfolder.h"
#include "ui/dialogs/shoki.h"

#include <QGroupBox>
#include <QRadioButton>

namespace omvex::test {

inline QRadioButton *option(const ui::Shoki &dialog, const QString &caption)
{
    for (QRadioButton *button : dialog.findChildren<QRadioButton *>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

// The caption of the selected button in each frame, left to right, as the user reads them.
inline QStringList selectedCaptions(const ui::Shoki &dialog)
{
    QStringList captions;
    for (const char *frameName : {"Frame1", "Frame2", "Frame3"}) {
        const auto *frame = dialog.findChild<QGroupBox *>(QString::fromLatin1(frameName));
        if (frame == nullptr)
            return {QStringLiteral("missing %1").arg(QString::fromLatin1(frameName))};
        QStringList checked;
        for (const QRadioButton *button : frame->findChildren<QRadioButton *>()) {
            if (button->isChecked())
                checked << button->text();
        }
        captions << checked.join(QLatin1Char('+'));
    }
    return captions;
}

// The files and services a dialog opens with; each test makes its own, in its own folder.
struct ShokiSetup {
    explicit ShokiSetup(const QByteArray &ini = {}, const QString &fileName = QStringLiteral("omvex.ini"))
        : store(folder.filePath(fileName))
    {
        if (!ini.isNull())
            written = writeFile(store.path(), ini);
        settings = store.read();
    }
    bool isValid() const { return folder.isValid() && written; }

    ProgramFolder folder;
    SettingsStore store;
    Settings settings;
    RecordingMessageBox messages;
    bool written = true;
};

} // namespace omvex::test
