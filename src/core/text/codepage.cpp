#include "core/text/codepage.h"

#include "core/text/lookalike_letters.h"

#include "core/common/error.h"

#include <QStringDecoder>

#include <array>

namespace barqeen::codepage {
namespace {

constexpr char16_t kNoByte = 0xFFFF;

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::array<uint8_t, 65536> toByte{};
    std::array<bool, 65536> hasByte{};
    // The byte of each character U+0600..U+067F (UTF-8 D8 xx and D9 xx, where every Arabic
    // letter and mark lies), or -1: a table small enough to stay in the first-level cache.
    std::array<int16_t, 128> arabic{};

    Tables()
    {
        std::array<char, 256> all{};
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        QStringDecoder decoder("windows-1256");
        const QString decoded = decoder.decode(QByteArrayView(all.data(), all.size()));
        if (!decoder.isValid() || decoded.size() != 256)
            throw Error("The windows-1256 code page is not available (Qt Core without ICU).");
        for (int b = 0; b < 256; ++b) {
            const char16_t u = decoded.at(b).unicode();
            toUnicode[b] = u;
            if (u != kNoByte && u != 0xFFFD) {
                toByte[u] = uint8_t(b);
                hasByte[u] = true;
            }
        }
        for (unsigned i = 0; i < 128; ++i)
            arabic[i] = hasByte[0x600 + i] ? int16_t(toByte[0x600 + i]) : int16_t(-1);
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

bool isPresentationForm(char32_t c)
{
    return (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF);
}

// The presentation forms of the vowel marks fold to a carrier and the mark: a space for the
// isolated forms, a tatweel for the medial ones. Pasted inside a word, a carrier would split it or
// lengthen it; what was meant is the bare mark.
QString withoutMarkCarrier(QString folded)
{
    if (folded.size() < 2 || (folded.front() != QLatin1Char(' ') && folded.front() != QChar(0x0640)))
        return folded;
    for (qsizetype i = 1; i < folded.size(); ++i)
        if (folded.at(i).category() != QChar::Mark_NonSpacing)
            return folded;
    return folded.mid(1);
}

}  // namespace

QString toUnicode(std::string_view bytes)
{
    const Tables& t = tables();
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.toUnicode[uint8_t(bytes[i])]);
    return out;
}

Encoded fromUnicode(const QString& text)
{
    const Tables& t = tables();
    Encoded result;
    result.bytes.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar ch = text.at(i);
        if (const char16_t arabic = arabicLetterFor(ch.unicode()))
            ch = QChar(arabic);
        const char16_t u = ch.unicode();
        if (t.hasByte[u] && !ch.isSurrogate()) {
            result.bytes += char(t.toByte[u]);
            continue;
        }
        char32_t code = u;
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(ch, text.at(i + 1));
        bool folded = false;
        if (isPresentationForm(code)) {
            const QString base = withoutMarkCarrier(QString(ch).normalized(QString::NormalizationForm_KC));
            folded = !base.isEmpty();
            std::string part;
            for (QChar b : base) {
                if (!t.hasByte[b.unicode()] || b.isSurrogate()) {
                    folded = false;
                    break;
                }
                part += char(t.toByte[b.unicode()]);
            }
            if (folded)
                result.bytes += part;
        }
        if (!folded) {
            result.unmappable = code;
            result.position = i;
            return result;
        }
    }
    return result;
}

QString unmappableMessage(char32_t ch)
{
    const QString code = QString::number(uint(ch), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("الحرف \u2066%1\u2069 (U+%2) لا يمكن حفظه في البرنامج، الرجاء حذفه أو استبداله.")
        .arg(QString::fromUcs4(&ch, 1), code);
}

std::string fromUnicodeOrThrow(const QString& text)
{
    Encoded e = fromUnicode(text);
    if (!e.ok())
        throw Error(unmappableMessage(*e.unmappable).toStdString());
    return std::move(e.bytes);
}

std::string toUtf8(std::string_view bytes)
{
    const Tables& t = tables();
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const char16_t u = t.toUnicode[uint8_t(c)];
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bool fromUtf8Into(std::string_view utf8, std::string& out)
{
    const Tables& t = tables();
    out.resize(utf8.size());  // never more bytes than the UTF-8 has
    char* const first = out.data();
    char* o = first;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *o++ = char(c);  // ASCII is the same in the code page
            p += 1;
            continue;
        }
        if ((c & 0xFE) == 0xD8 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            const int16_t byte = t.arabic[size_t(c & 1) << 6 | (p[1] & 0x3F)];
            if (byte < 0)
                return false;
            *o++ = char(byte);
            p += 2;
            continue;
        }
        if ((c & 0xE0) == 0xC0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            const unsigned code = unsigned(c & 0x1F) << 6 | (p[1] & 0x3F);
            if (code < 0x80 || !t.hasByte[code])
                return false;
            *o++ = char(t.toByte[code]);
            p += 2;
            continue;
        }
        if ((c & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            const char32_t code = char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            if (code < 0x800 || !t.hasByte[code] || (code >= 0xD800 && code <= 0xDFFF))
                return false;
            *o++ = char(t.toByte[code]);
            p += 3;
            continue;
        }
        return false;  // malformed, overlong, or with no byte in the code page
    }
    out.resize(size_t(o - first));
    return true;
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    std::string out;
    if (!fromUtf8Into(utf8, out))
        return std::nullopt;
    return out;
}

}  // namespace barqeen::codepage
