// The code page at the program's edges: widgets (Unicode) and table files (UTF-8).
#include "core/common/error.h"
#include "core/text/codepage.h"
#include "core/text/letters.h"

#include <gtest/gtest.h>

using namespace barqeen;

namespace {

std::string allBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += char(b);
    return s;
}

TEST(CodePageTest, EveryByteRoundTripsThroughUtf8AndAllButTheLookAlikesThroughTypedText)
{
    const std::string bytes = allBytes();
    const QString unicode = codepage::toUnicode(bytes);
    ASSERT_EQ(unicode.size(), 256);
    EXPECT_EQ(unicode.at(0xC7), QChar(0x0627));  // alef
    EXPECT_EQ(unicode.at(0xDC), QChar(0x0640));  // tatweel
    EXPECT_EQ(unicode.at(0xF8), QChar(0x0651));  // shadda
    // What a window is given comes back byte for byte, but for the four Persian and Urdu letters
    // the code page also holds (ک ھ ہ ے), which typed text takes as the Arabic letters (ك ه ه ي),
    // as the import does. A table file's UTF-8 comes back byte for byte, those four too.
    std::string typed = bytes;
    typed[0x98] = '\xDF', typed[0xAA] = '\xE5', typed[0xC0] = '\xE5', typed[0xFF] = '\xED';
    const codepage::Encoded back = codepage::fromUnicode(unicode);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, typed);
    EXPECT_EQ(codepage::fromUtf8(codepage::toUtf8(bytes)), bytes);
    EXPECT_EQ(codepage::toUtf8("\xC8\xD1\xDE\xED\xE4"), "برقين");
}

TEST(CodePageTest, PresentationFormsAndPersianLettersFoldToTheirLetters)
{
    struct Case {
        const char16_t* pasted;
        const char* bytes;
    };
    const Case cases[] = {
        {u"\uFE91", "\xC8"},               // beh, initial form
        {u"\uFEFB", "\xE1\xC7"},           // lam-alef ligature
        {u"\uFEB3\uFEE4\uFE8E", "\xD3\xE3\xC7"},  // seen meem alef
        {u"a\uFE8D", "a\xC7"},
        // Persian and Urdu letters typed on their keyboards, as the import folds them: ی ک ھ ۀ
        {u"\u06CC\u06A9\u06BE\u06C0", "\xED\xDF\xE5\xC9"},
    };
    for (const Case& c : cases) {
        const codepage::Encoded e = codepage::fromUnicode(QString::fromUtf16(c.pasted));
        ASSERT_TRUE(e.ok());
        EXPECT_EQ(e.bytes, c.bytes);
    }
}

// The isolated and medial forms of the vowel marks carry a space or a tatweel in their
// compatibility form; pasted, each must be the bare mark, or a word splits or lengthens.
TEST(CodePageTest, PresentationFormsOfVowelMarksFoldToTheBareMark)
{
    struct Case {
        char16_t form;
        const char* bytes;
    };
    const Case cases[] = {
        {0xFE70, "\xF0"}, {0xFE71, "\xF0"},          // fathatan
        {0xFE72, "\xF1"},                             // dammatan
        {0xFE74, "\xF2"},                             // kasratan
        {0xFE76, "\xF3"}, {0xFE77, "\xF3"},          // fatha
        {0xFE78, "\xF5"}, {0xFE79, "\xF5"},          // damma
        {0xFE7A, "\xF6"}, {0xFE7B, "\xF6"},          // kasra
        {0xFE7C, "\xF8"}, {0xFE7D, "\xF8"},          // shadda
        {0xFE7E, "\xFA"}, {0xFE7F, "\xFA"},          // sukun
        {0xFC5E, "\xF1\xF8"}, {0xFC5F, "\xF2\xF8"},  // shadda with a mark, isolated
        {0xFC60, "\xF3\xF8"}, {0xFC61, "\xF5\xF8"}, {0xFC62, "\xF6\xF8"},
        {0xFCF2, "\xF3\xF8"}, {0xFCF3, "\xF5\xF8"}, {0xFCF4, "\xF6\xF8"},  // medial
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::hex);
        SCOPED_TRACE(int(c.form));
        // Between two letters, as inside a pasted word.
        const codepage::Encoded e = codepage::fromUnicode(QStringLiteral("\u0643") + QChar(c.form) + QStringLiteral("\u062A"));
        ASSERT_TRUE(e.ok());
        EXPECT_EQ(e.bytes, std::string("\xDF") + c.bytes + "\xCA");
    }
    // The letters' own presentation forms still fold as before, the tatweel's form included.
    const codepage::Encoded tatweel = codepage::fromUnicode(QStringLiteral("\u0643\u0640\u062A"));
    EXPECT_EQ(tatweel.bytes, "\xDF\xDC\xCA");
    // kaf fatha teh fatha beh fatha, the marks in their medial and isolated forms, is one word.
    const codepage::Encoded kataba = codepage::fromUnicode(QStringLiteral("\uFEDB\uFE77\uFE98\uFE77\uFE90\uFE76"));
    ASSERT_TRUE(kataba.ok());
    EXPECT_EQ(NormalizeText(kataba.bytes), "\xDF\xCA\xC8");
}

TEST(CodePageTest, CharacterWithoutAByteIsNamedNeverReplaced)
{
    struct Case {
        QString text;
        char32_t culprit;
        qsizetype position;
    };
    const Case cases[] = {
        {QStringLiteral("سلام 😀"), 0x1F600, 5},
        {QStringLiteral("ab中"), 0x4E2D, 2},
        {QStringLiteral("سلامж"), 0x0436, 4},  // Cyrillic: not in the code page
    };
    for (const Case& c : cases) {
        const codepage::Encoded e = codepage::fromUnicode(c.text);
        ASSERT_FALSE(e.ok());
        EXPECT_EQ(*e.unmappable, c.culprit);
        EXPECT_EQ(e.position, c.position);
        EXPECT_THROW(codepage::fromUnicodeOrThrow(c.text), Error);
    }
    EXPECT_EQ(codepage::fromUtf8("中"), std::nullopt);
    EXPECT_EQ(codepage::fromUtf8("\xC3"), std::nullopt);      // cut short
    EXPECT_EQ(codepage::fromUtf8("\xC0\xAF"), std::nullopt);  // overlong
}

}  // namespace
