#include "core/exchange/columns.h"

#include <cctype>
#include <string>

namespace barqeen::exchange {
namespace {

struct Alias {
    std::string_view name;  // as compared: lower case, without spaces, '_' and '-'
    Column column;
};

constexpr Alias kAliases[] = {
    {"text", Column::Text},
    {"verse", Column::Text},
    {"bayt", Column::Text},
    {"bait", Column::Text},
    {"beit", Column::Text},
    {"نص", Column::Text},
    {"النص", Column::Text},
    {"البيت", Column::Text},
    {"بيت", Column::Text},
    {"نصالبيت", Column::Text},
    {"نصالشعر", Column::Text},
    {"hemistich1", Column::Hemistich1},
    {"firsthemistich", Column::Hemistich1},
    {"sadr", Column::Hemistich1},
    {"الصدر", Column::Hemistich1},
    {"صدر", Column::Hemistich1},
    {"الشطرالأول", Column::Hemistich1},
    {"الشطرالاول", Column::Hemistich1},
    {"shatr1", Column::Hemistich1},
    {"versepart1", Column::Hemistich1},
    {"part1", Column::Hemistich1},
    {"الشطرالأيمن", Column::Hemistich1},
    {"الشطرالايمن", Column::Hemistich1},
    {"hemistich2", Column::Hemistich2},
    {"secondhemistich", Column::Hemistich2},
    {"ajuz", Column::Hemistich2},
    {"ajz", Column::Hemistich2},
    {"العجز", Column::Hemistich2},
    {"عجز", Column::Hemistich2},
    {"الشطرالثاني", Column::Hemistich2},
    {"shatr2", Column::Hemistich2},
    {"versepart2", Column::Hemistich2},
    {"part2", Column::Hemistich2},
    {"الشطرالأيسر", Column::Hemistich2},
    {"الشطرالايسر", Column::Hemistich2},
    {"verses", Column::Verses},
    {"abyat", Column::Verses},
    {"hemistichs", Column::Verses},
    {"ashtur", Column::Verses},
    {"lines", Column::Verses},
    {"poem", Column::Verses},
    {"poemverses", Column::Verses},
    {"versesofpoem", Column::Verses},
    {"أبياتالقصيدة", Column::Verses},
    {"الأبيات", Column::Verses},
    {"الابيات", Column::Verses},
    {"أبيات", Column::Verses},
    {"ابيات", Column::Verses},
    {"الأشطر", Column::Verses},
    {"الاشطر", Column::Verses},
    {"القصيدة", Column::Verses},
    {"poet", Column::Poet},
    {"author", Column::Poet},
    {"authorname", Column::Poet},
    {"الشاعر", Column::Poet},
    {"شاعر", Column::Poet},
    {"اسمالشاعر", Column::Poet},
    {"إسمالشاعر", Column::Poet},
    {"categories", Column::Categories},
    {"category", Column::Categories},
    {"topics", Column::Categories},
    {"topic", Column::Categories},
    {"المواضيع", Column::Categories},
    {"الموضوع", Column::Categories},
    {"مواضيع", Column::Categories},
    {"موضوع", Column::Categories},
    {"firstletter", Column::FirstLetter},
    {"startletter", Column::FirstLetter},
    {"حرفالبداية", Column::FirstLetter},
    {"lastletter", Column::LastLetter},
    {"endletter", Column::LastLetter},
    {"حرفالنهاية", Column::LastLetter},
};

}  // namespace

Column columnOf(std::string_view name)
{
    std::string key;
    for (const char c : name)
        if (c != ' ' && c != '_' && c != '-' && c != '\t')
            key += char(std::tolower(static_cast<unsigned char>(c)));
    for (const Alias& alias : kAliases)
        if (alias.name == key)
            return alias.column;
    return Column::Unknown;
}

std::string_view knownVerseNames()
{
    return "\u2066text\u2069 أو \u2066verse\u2069 أو «نص البيت»؛ الشطران في \u2066hemistich1\u2069/\u2066hemistich2\u2069 "
           "أو \u2066sadr\u2069/\u2066ajuz\u2069 أو \u2066shatr1\u2069/\u2066shatr2\u2069 أو «الصدر»/«العجز» أو "
           "«الشطر الأيمن»/«الشطر الأيسر»؛ وقائمة أشطر القصيدة أو أبياتها في \u2066verses\u2069 أو «الأبيات»";
}

std::string_view columnName(Column column)
{
    switch (column) {
    case Column::Text: return "text";
    case Column::Hemistich1: return "hemistich1";
    case Column::Hemistich2: return "hemistich2";
    case Column::Poet: return "poet";
    case Column::Categories: return "categories";
    case Column::FirstLetter: return "first_letter";
    case Column::LastLetter: return "last_letter";
    case Column::Verses: return "verses";
    case Column::Unknown: break;
    }
    return "";
}

}  // namespace barqeen::exchange
