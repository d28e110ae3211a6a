#include "platform/services.h"

#include <QProcess>
#include <QStringDecoder>

#include <unistd.h>

namespace omvex::platform {

bool DetachedProcessStarter::startDetached(const QString &program, const QStringList &arguments, QString *error)
{
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("no program given");
        return false;
    }
    // The arguments go to the program as they are; no shell ever sees them, so a path with spaces or
    // shell characters stays one argument.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

bool isValidUtf8(const QByteArray &bytes)
{
    // The toolkit's decoder refuses overlong forms, surrogates and code points above U+10FFFF.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

std::optional<QString> programFolder(QString *error)
{
    // The link's own bytes: a QString of the path would already have lost what is not UTF-8.
    QByteArray exe(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", exe.data(), static_cast<std::size_t>(exe.size()));
        if (length < 0) {
            if (error)
                *error = QStringLiteral("実行ファイルの場所を調べられませんでした");
            return std::nullopt;
        }
        if (length < exe.size()) {
            exe.truncate(length);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const qsizetype slash = exe.lastIndexOf('/');
    if (slash < 0) {
        if (error)
            *error = QStringLiteral("実行ファイルの場所を調べられませんでした");
        return std::nullopt;
    }
    const QByteArray folder = slash == 0 ? QByteArray("/") : exe.left(slash);
    if (!isValidUtf8(folder)) {
        if (error)
            *error = QStringLiteral("プログラムのフォルダ名が UTF-8 として正しくないため、ファイルの場所を決められません: %1")
                         .arg(QString::fromUtf8(folder));
        return std::nullopt;
    }
    return QString::fromUtf8(folder);
}

} // namespace omvex::platform
