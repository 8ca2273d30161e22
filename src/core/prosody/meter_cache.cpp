#include "core/prosody/meter_cache.h"

namespace barqeen::prosody {

const Scansion& MeterCache::scan(std::string_view verse)
{
    const std::string key(verse);
    if (auto it = scanned_.find(key); it != scanned_.end())
        return it->second;
    if (scanned_.size() >= capacity_)
        scanned_.clear();  // a window shows a few verses at a time: starting afresh is enough
    return scanned_.emplace(key, scanVerseBytes(verse)).first->second;
}

}  // namespace barqeen::prosody
