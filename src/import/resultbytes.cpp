#include "import/resultbytes.h"

#include <QJsonDocument>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace omvex {

namespace {

struct Signature {
    std::string_view bytes;
    qsizetype offset;
    const char *kind;
    const char16_t *what;
};

// The leading bytes of the files that people most often take for a results file.
constexpr std::array kSignatures{
    Signature{"\x89PNG", 0, "image", u"画像"},
    Signature{"\xFF\xD8\xFF", 0, "image", u"画像"},
    Signature{"GIF8", 0, "image", u"画像"},
    Signature{"WEBP", 8, "image", u"画像"},
    Signature{"II*\0", 0, "image", u"画像"},
    Signature{"MM\0*", 0, "image", u"画像"},
    Signature{"PK\x03\x04", 0, "archive", u"圧縮ファイル。Excel のブックなら CSV で保存してください"},
    Signature{"\x1F\x8B", 0, "archive", u"圧縮ファイル"},
    Signature{"7z\xBC\xAF\x27\x1C", 0, "archive", u"圧縮ファイル"},
    Signature{"Rar!", 0, "archive", u"圧縮ファイル"},
    Signature{"BZh", 0, "archive", u"圧縮ファイル"},
    Signature{"\xFD" "7zXZ", 0, "archive", u"圧縮ファイル"},
    Signature{"ustar", 257, "archive", u"圧縮ファイル"},
    Signature{"%PDF", 0, "binary", u"PDF"},
    Signature{"\xD0\xCF\x11\xE0", 0, "binary", u"Excel などの文書。CSV で保存してください"},
};

NotResults notResults(const char *kind, QStringView what)
{
    return {kind, QStringLiteral("結果ファイルではありません（%1）").arg(what)};
}

std::optional<NotResults> bySignature(const QByteArray &bytes)
{
    for (const Signature &signature : kSignatures) {
        const QByteArrayView view(signature.bytes.data(), static_cast<qsizetype>(signature.bytes.size()));
        if (bytes.size() >= signature.offset + view.size() && bytes.sliced(signature.offset).startsWith(view))
            return notResults(signature.kind, QStringView(signature.what));
    }
    return std::nullopt;
}

// Text files hold no NUL and few control characters; a few stray ones in a long text are the file's own business.
bool looksBinary(const QByteArray &bytes)
{
    const QByteArrayView head = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 64 * 1024));
    qsizetype controls = 0;
    for (const char c : head) {
        if (c == '\0')
            return true;
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\x1A')
            ++controls;
    }
    return controls * 10 > head.size();
}

std::optional<NotResults> byText(const QString &text)
{
    const auto first = std::find_if(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
    if (first == text.end())
        return std::nullopt;
    if (*first == u'{' || (*first == u'[' && !QJsonDocument::fromJson(text.toUtf8()).isNull()))
        return NotResults{"json", QStringLiteral("JSON のファイルは取り込めません")};
    if (*first == u'<')
        return NotResults{"html", QStringLiteral("HTML のファイル（ウェブページ）は取り込めません。結果ファイル（CSV）を保存してください")};
    return std::nullopt;
}

QString decodeWith(QStringDecoder::Encoding encoding, const QByteArray &bytes)
{
    QStringDecoder decoder(encoding);
    return decoder(bytes);
}

} // namespace

ResultText decodeResultBytes(const QByteArray &bytes)
{
    ResultText result;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        result.encoding = little ? QStringLiteral("UTF-16LE") : QStringLiteral("UTF-16BE");
        result.text = decodeWith(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, bytes);
    } else if ((result.notResults = bySignature(bytes))) {
        return result;
    } else if (looksBinary(bytes)) {
        result.notResults = notResults("binary", u"バイナリ");
        return result;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        result.text = utf8(bytes);
        result.encoding = QStringLiteral("UTF-8");
        if (utf8.hasError()) {
            // Files saved on Windows in Japanese are Shift-JIS with Microsoft's extensions; ICU's
            // Shift_JIS table maps those too (①, ～). A failed UTF-8 text must not stay beside it.
            result.text = QString();
            QStringDecoder shiftJis("Shift_JIS");
            result.encoding = QStringLiteral("Shift-JIS");
            result.text = shiftJis.isValid() ? QString(shiftJis(bytes)) : QString::fromUtf8(bytes);
        }
    }
    if (result.text.startsWith(QChar(0xFEFF)))
        result.text.remove(0, 1);
    result.notResults = byText(result.text);
    return result;
}

} // namespace omvex
