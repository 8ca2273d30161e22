// The crossings between the game's text boxes (Unicode, LF) and the game's bytes (Windows-1256,
// CR LF): trimming, the bytes a send is judged on, the bytes it is stored as.
#include "core/common/error.h"
#include "windows/game/box_text.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

using namespace barqeen;

namespace {

std::string bytes(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

TEST(GameBoxTextTest, TrimDropsSpacesLineBreaksAndControlsAtBothEndsOnly)
{
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {"", ""},
        {" \t\r\n ", ""},
        {"  بيت  ", "بيت"},
        {"\n\tبيت\r\nثان\x01 ", "بيت\r\nثان"},
        {"بيت  ثان", "بيت  ثان"},                        // inside: untouched
        {QStringLiteral("\u00A0بيت\u00A0"), QStringLiteral("\u00A0بيت\u00A0")},  // not a control
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimControls(c.in), c.out) << c.in.toStdString();
}

TEST(GameBoxTextTest, CheckedBytesMarkWhatTheCodePageCannotHoldAsANonArabicCharacter)
{
    const struct {
        QString in;
        std::string out;
    } cases[] = {
        {QStringLiteral("بيت"), bytes("بيت")},
        {QStringLiteral("بيت\nثان"), bytes("بيت\r\nثان")},          // lines as the verses store them
        {QStringLiteral("بيت\r\nثان"), bytes("بيت\r\nثان")},        // not doubled
        {QStringLiteral("بي😀ت"), bytes("بي?ت")},                    // outside the basic plane: one mark
        {QStringLiteral("中بيت中"), bytes("?بيت?")},
        {QStringLiteral("\uFEE1\uFEE6"), bytes("من")},               // presentation forms fold
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckedBytes(c.in), c.out) << c.in.toStdString();
}

TEST(GameBoxTextTest, StoredBytesRefuseWhatTheCodePageCannotHold)
{
    EXPECT_EQ(StoredBytes(QStringLiteral("بيت\nثان")), bytes("بيت\r\nثان"));
    try {
        StoredBytes(QStringLiteral("بيت 😀"));
        FAIL() << "stored a character the code page has no byte for";
    } catch (const Error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), codepage::unmappableMessage(U'\U0001F600'));
    }
}

TEST(GameBoxTextTest, BoxTextShowsStoredLineBreaksAsLines)
{
    EXPECT_EQ(BoxText(bytes("بيت\r\nثان")), QStringLiteral("بيت\nثان"));
    EXPECT_EQ(BoxText(bytes("بيت\rثان")), QStringLiteral("بيت\nثان"));
    EXPECT_EQ(BoxText(""), QString());
}

}  // namespace
