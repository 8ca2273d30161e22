#pragma once
// Finding a short word in a long run of text: the matching forms of a million verses laid end
// to end are read at memory speed, sixteen places at a time.
#include <cstddef>
#include <string_view>

namespace barqeen {

// The first place at or after from where needle occurs in text; npos when none. An empty needle
// occurs at from.
size_t FindFrom(std::string_view text, std::string_view needle, size_t from);

}  // namespace barqeen
