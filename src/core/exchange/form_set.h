#pragma once
// The verses already known by their matching form, to find duplicates among a million: only a
// hash and a reference are kept for each (16 bytes), and the caller confirms a hash that
// matches by comparing the forms themselves, so two forms that share a hash never count as one.
#include "core/common/huge_pages.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace barqeen::exchange {

class FormSet {
public:
    static uint64_t hashOf(std::string_view form) { return std::hash<std::string_view>{}(form); }

    void reserve(size_t count)
    {
        size_t capacity = 16;
        while (capacity < count * 2)
            capacity *= 2;
        if (capacity > slots_.size())
            rehash(capacity);
    }

    // The first reference with this hash for which same(reference) holds.
    template <class Same>
    std::optional<int32_t> find(uint64_t hash, Same&& same) const
    {
        if (slots_.empty())
            return std::nullopt;
        for (size_t i = hash & mask(); slots_[i].used; i = (i + 1) & mask())
            if (slots_[i].hash == hash && same(slots_[i].ref))
                return slots_[i].ref;
        return std::nullopt;
    }

    void insert(uint64_t hash, int32_t ref)
    {
        if ((count_ + 1) * 2 > slots_.size())
            rehash(slots_.empty() ? 16 : slots_.size() * 2);
        place(hash, ref);
        ++count_;
    }

    size_t size() const { return count_; }

private:
    struct Slot {
        uint64_t hash = 0;
        int32_t ref = 0;
        bool used = false;
    };

    size_t mask() const { return slots_.size() - 1; }

    void place(uint64_t hash, int32_t ref)
    {
        size_t i = hash & mask();
        while (slots_[i].used)
            i = (i + 1) & mask();
        slots_[i] = {hash, ref, true};
    }

    void rehash(size_t capacity)
    {
        std::vector<Slot> old = std::move(slots_);
        slots_ = std::vector<Slot>();
        slots_.reserve(capacity);
        AdviseHugePages(slots_.data(), capacity * sizeof(Slot));
        slots_.resize(capacity);
        for (const Slot& s : old)
            if (s.used)
                place(s.hash, s.ref);
    }

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

}  // namespace barqeen::exchange
