#include "core/store/layouts.h"

namespace barqeen::layouts {

std::string fileName(const char* kind)
{
    return std::string(kind) + ".cds";
}

void definePoem(Table& t)
{
    t.addFieldDef({"TextID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"Text", FieldType::Memo, 70, true});
    t.addFieldDef({"AuthorID", FieldType::Integer, 0, false});
    t.addFieldDef({"StartLetter", FieldType::String, 1, true});
    t.addFieldDef({"EndLetter", FieldType::String, 1, true});
    t.addFieldDef({"Categories", FieldType::Memo, 10, false});
    t.addIndexDef({"", "TextID", true, true});
}

void defineAuthors(Table& t)
{
    t.addFieldDef({"AuthorID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"AuthorName", FieldType::String, 30, true});
    t.addFieldDef({"Info", FieldType::Memo, 30, false});
    t.addIndexDef({"", "AuthorID", true, true});
}

void defineCategories(Table& t)
{
    t.addFieldDef({"CategoryID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"CategoryName", FieldType::String, 20, true});
    t.addIndexDef({"", "CategoryID", true, true});
}

void defineHistory(Table& t)
{
    t.addFieldDef({"GameID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"PlayerName", FieldType::String, 20, true});
    t.addFieldDef({"PlayTime", FieldType::DateTime, 0, true});
    t.addFieldDef({"Duration", FieldType::Integer, 0, false});
    t.addFieldDef({"Rounds", FieldType::Integer, 0, false});
    t.addFieldDef({"EndType", FieldType::SmallInt, 0, false});
    t.addIndexDef({"", "GameID", true, true});
}

void definePlayerPoem(Table& t)
{
    t.addFieldDef({"TextID", FieldType::AutoIncrement, 0, false});
    t.addFieldDef({"GameID", FieldType::Integer, 0, true});
    t.addFieldDef({"Text", FieldType::Memo, 70, true});
    t.addIndexDef({"", "TextID", true, true});
}

void dressPoem(Table& poem, const Table& authors)
{
    poem.addLookupField(2, "AuthorName", 30, "AuthorID", authors, "AuthorName");
    struct Look {
        const char* field;
        const char* label;  // empty: the field's own name
        int width;          // 0: the default
        bool visible;
        bool readOnly;
    };
    const Look looks[] = {
        {"TextID", "رقم متسلسل", 0, true, true},
        {"Text", "نص الشعر", 50, true, false},
        {"AuthorName", "الشاعر", 10, true, false},
        {"AuthorID", "", 5, false, false},
        {"StartLetter", "حرف البداية", 0, true, false},
        {"EndLetter", "حرف النهاية", 0, true, false},
        {"Categories", "", 0, false, false},
    };
    for (const Look& look : looks) {
        Field& f = poem.field(look.field);
        if (*look.label)
            f.setDisplayLabel(look.label);
        if (look.width)
            f.setDisplayWidth(look.width);
        f.setVisible(look.visible);
        f.setReadOnly(look.readOnly);
    }
}

}  // namespace barqeen::layouts
