#include "fetch/address.h"

namespace omvex::fetch {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

std::optional<QUrl> parseAddress(const QString &text, QString *error)
{
    const QString trimmed = text.trimmed();
    QString problem;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty())
        problem = QStringLiteral("結果ファイルのアドレスが指定されていません");
    else if (!url.isValid() || !isWebScheme(url.scheme().toLower()))
        problem = QStringLiteral("http:// か https:// で始まるアドレスを指定してください: %1").arg(trimmed);
    else if (url.host().isEmpty())
        problem = QStringLiteral("アドレスにサーバー名がありません: %1").arg(trimmed);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    return url;
}

} // namespace omvex::fetch
