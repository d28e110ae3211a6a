#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

namespace omvex {

// What a file that cannot be a results file looks like: kind is "json", "html", "image", "archive"
// or "binary", and message one Japanese line naming it.
struct NotResults {
    std::string kind;
    QString message;
};

struct ResultText {
    QString text;
    QString encoding; // "UTF-8", "Shift-JIS", "UTF-16LE" or "UTF-16BE"
    std::optional<NotResults> notResults;
};

// The text of a results file. UTF-16 needs its byte-order mark; UTF-8 is taken when the bytes are
// valid UTF-8, Shift-JIS otherwise. Pictures, archives, JSON, web pages and other binary content
// are recognised first and not decoded.
ResultText decodeResultBytes(const QByteArray &bytes);

} // namespace omvex
