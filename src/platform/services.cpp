#include "platform/services.h"

#include <QProcess>

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
    const auto *byte = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = byte + bytes.size();
    while (byte < end) {
        const unsigned char lead = *byte++;
        if (lead < 0x80)
            continue;
        int more = 0;
        unsigned char low = 0x80; // the range of the first continuation byte rules out overlong
        unsigned char high = 0xBF; // forms, surrogates and code points above U+10FFFF
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - byte < more || *byte < low || *byte > high)
            return false;
        for (++byte, --more; more > 0; --more, ++byte) {
            if ((*byte & 0xC0) != 0x80)
                return false;
        }
    }
    return true;
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
