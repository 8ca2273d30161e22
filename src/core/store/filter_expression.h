#pragma once
// The filter text of a table. The program writes two forms, Field = 'text' and Field = number;
// anything else is refused with the table layer's expression errors.
#include "core/store/value.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace barqeen {

struct FilterExpression {
    int fieldIndex = -1;  // -1: the empty text, which lets every row pass
    Value literal;        // Text for 'text', Integer for a number

    bool empty() const { return fieldIndex < 0; }
};

// The filter "field equals value" given typed; no value is refused as "Field = " would be.
FilterExpression equalsFilter(int fieldIndex, Value value);

// The filter text that says a field equals a value, in the form the program writes:
// Field = 'text' (a quote inside doubled) or Field = number.
std::string filterTextOf(std::string_view fieldName, const Value& value);

// fieldIndexOf answers the position of a field name, or -1 when the table has no such field.
FilterExpression parseFilter(std::string_view text,
                             const std::function<int(std::string_view)>& fieldIndexOf);

}  // namespace barqeen
