#pragma once
// Room for the texts of the rows read from a table file: a few large blocks instead of a heap
// block per text, so that reading and freeing a million verses is quick. The rows point into it
// (Value::borrowed); it lives as long as the rows it was read for.
#include "core/store/value.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace barqeen {

class TextArena {
public:
    Value hold(std::string_view text)
    {
        if (text.size() <= 14)
            return Value(text);  // short texts live inside the value anyway
        if (free_ < text.size()) {
            const size_t size = std::max(kBlock, text.size());
            blocks_.push_back(std::make_unique<char[]>(size));
            next_ = blocks_.back().get();
            free_ = size;
        }
        char* place = next_;
        std::memcpy(place, text.data(), text.size());
        next_ += text.size();
        free_ -= text.size();
        return Value::borrowed({place, text.size()});
    }

private:
    static constexpr size_t kBlock = size_t(1) << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    size_t free_ = 0;
};

}  // namespace barqeen
