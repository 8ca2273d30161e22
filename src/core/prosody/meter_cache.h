#pragma once
// The meters of the verses a window has shown, kept in memory only (never in a table file) so
// that moving back and forth over the same verses scans each once.
#include "core/prosody/meter_finder.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace barqeen::prosody {

class MeterCache {
public:
    explicit MeterCache(size_t capacity = 4096) : capacity_(capacity) {}

    // The scansion of a verse as the program holds it (Windows-1256, hemistichs on two lines).
    const Scansion& scan(std::string_view verse);

    size_t size() const { return scanned_.size(); }

private:
    size_t capacity_;
    std::unordered_map<std::string, Scansion> scanned_;
};

}  // namespace barqeen::prosody
