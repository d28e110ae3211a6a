#include "platform/outsideprograms.h"

#include <QFile>
#include <QFileInfo>

namespace omvex {

EditorStartResult openHistoryInEditor(const QString &notepadPath, const QString &kakoFilePath,
                                      platform::ProcessStarter &starter)
{
    if (notepadPath.isEmpty())
        return {false, QStringLiteral("テキストエディタが見つかりません。")};

    // On a first run there is no history yet; the editor needs a file to open. NewOnly never
    // truncates a file that appeared in the meantime.
    if (!QFileInfo::exists(kakoFilePath)) {
        QFile file(kakoFilePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !QFileInfo::exists(kakoFilePath)) {
            return {false, QStringLiteral("データファイルを作成できませんでした: %1\n%2")
                               .arg(kakoFilePath, file.errorString())};
        }
    }

    QString error;
    if (!starter.startDetached(notepadPath, {kakoFilePath}, &error))
        return {false, QStringLiteral("テキストエディタを起動できませんでした: %1\n%2").arg(notepadPath, error)};
    return {};
}

} // namespace omvex
