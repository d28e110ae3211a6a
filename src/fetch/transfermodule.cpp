#include "fetch/transfermodule.h"

#include <QDir>
#include <QLibrary>

namespace omvex::fetch {

namespace {

// As the module exports it (fetch/network/transfermoduleentry.cpp).
using MakeTransferFunction = Transfer *(*)(const QUrl &, const DownloadLimits &);

} // namespace

TransferModule loadTransferModule(const QString &folder)
{
    const QString path = QDir(folder).filePath(QLatin1String(kTransferModuleFileName));
    QLibrary library(path);
    MakeTransferFunction make = nullptr;
    if (library.load())
        make = reinterpret_cast<MakeTransferFunction>(library.resolve("omvexMakeTransfer"));
    if (!make) {
        return {{},
                QStringLiteral("結果の取得に使うファイル %1 がないか、読み込めません（プログラムを入れ直してください）")
                    .arg(QDir::toNativeSeparators(path))};
    }
    // The library is never unloaded: the downloads it makes run its code until they are deleted.
    return {[make](const QUrl &url, const DownloadLimits &limits) { return std::unique_ptr<Transfer>(make(url, limits)); },
            {}};
}

} // namespace omvex::fetch
