// The code page at the program's edges: widgets (Unicode) and table files (UTF-8).
#include "common/error.h"
#include "text/codepage.h"

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

TEST(CodePageTest, EveryByteRoundTripsThroughUnicodeAndUtf8)
{
    const std::string bytes = allBytes();
    const QString unicode = codepage::toUnicode(bytes);
    ASSERT_EQ(unicode.size(), 256);
    EXPECT_EQ(unicode.at(0xC7), QChar(0x0627));  // alef
    EXPECT_EQ(unicode.at(0xDC), QChar(0x0640));  // tatweel
    EXPECT_EQ(unicode.at(0xF8), QChar(0x0651));  // shadda
    const codepage::Encoded back = codepage::fromUnicode(unicode);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, bytes);
    EXPECT_EQ(codepage::fromUtf8(codepage::toUtf8(bytes)), bytes);
    EXPECT_EQ(codepage::toUtf8("\xC8\xD1\xDE\xED\xE4"), "برقين");
}

TEST(CodePageTest, PresentationFormsFoldToTheirLetters)
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
    };
    for (const Case& c : cases) {
        const codepage::Encoded e = codepage::fromUnicode(QString::fromUtf16(c.pasted));
        ASSERT_TRUE(e.ok());
        EXPECT_EQ(e.bytes, c.bytes);
    }
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
        {QStringLiteral("ی"), 0x06CC, 0},  // Farsi yeh: not in the code page
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
