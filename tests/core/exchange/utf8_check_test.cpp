// The UTF-8 check decides a file's encoding: each kind of broken sequence must be caught, and
// whole Arabic text at any length must pass (the checker works on blocks of many bytes).
#include "core/exchange/formats.h"

#include <gtest/gtest.h>

#include <string>

using barqeen::exchange::isValidUtf8;

TEST(Utf8CheckTest, TellsWellFormedTextFromEachKindOfBrokenSequence)
{
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"empty", "", true},
        {"ASCII", "verse\tline\r\n", true},
        {"Arabic", "قفا نبك من ذكرى حبيب ومنزل", true},
        {"four bytes", "\xF0\x9F\x8C\x99", true},
        {"largest code point", "\xF4\x8F\xBF\xBF", true},
        {"lone continuation byte", "ab\x80" "cd", false},
        {"Windows-1256 letters", "\xC7\xE1\xD4\xDA\xD1", false},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
        {"cut short at the end", "\xD9\x82\xD9", false},
        {"cut short before ASCII", "\xE2\x80" "a", false},
        {"FE byte", "\xFE", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.what;

    // Long text, with one fault placed at every offset of a block.
    std::string arabic;
    while (arabic.size() < 4096)
        arabic += "لعل على الجمال له عتابا ";
    EXPECT_TRUE(isValidUtf8(arabic));
    for (size_t at = 4000; at < 4070; ++at) {
        std::string broken = arabic;
        broken[at] = '\xFF';
        EXPECT_FALSE(isValidUtf8(broken)) << "fault at " << at;
    }
}
