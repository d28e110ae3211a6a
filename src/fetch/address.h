#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace omvex::fetch {

// text as an address to fetch from: an absolute http or https URL with a host. nullopt, with one
// Japanese line in *error, for anything else.
std::optional<QUrl> parseAddress(const QString &text, QString *error);

} // namespace omvex::fetch
