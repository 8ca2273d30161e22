#pragma once
// The one exception type of the program. Its text is what the user reads in the error box,
// held as UTF-8 (file paths and Arabic messages may be in it).
#include <stdexcept>
#include <initializer_list>
#include <string>
#include <string_view>

namespace barqeen {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Fills the %s placeholders of a message in order; used for the table layer's fixed texts.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace barqeen
