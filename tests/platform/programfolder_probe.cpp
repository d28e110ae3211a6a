// Started by the platform tests from a copy in a folder of their making: prints the program folder it
// finds ("ok <folder>") or the error ("error <message>"), in UTF-8.
#include "platform/services.h"

#include <cstdio>

int main()
{
    QString error;
    const std::optional<QString> folder = omvex::platform::programFolder(&error);
    const QByteArray line = folder ? "ok " + folder->toUtf8() : "error " + error.toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    return 0;
}
