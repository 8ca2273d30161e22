#pragma once
// One cell of a table: empty (null), an integer, or text (Windows-1256 bytes).
// Sixteen bytes, text of up to 14 bytes kept inline: a verse table of a million rows holds six
// cells a row, so the cell's size is most of the table's memory.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace barqeen {

class Value {
public:
    enum class Kind : uint8_t { Null, Integer, Text };

    Value() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
    Value(int64_t i) noexcept : Value() { setInteger(i); }
    Value(int i) noexcept : Value(int64_t(i)) {}
    Value(std::string_view text) : Value() { setText(text); }
    Value(const char* text) : Value(std::string_view(text)) {}
    Value(const std::string& text) : Value(std::string_view(text)) {}

    // Text kept elsewhere (in a table's text arena) that this value points to without owning it.
    // Copies of such a value own their text again; only the table's own rows hold borrowed text.
    static Value borrowed(std::string_view text)
    {
        Value v(text.size() <= kInlineCapacity ? Value(text) : Value());
        if (text.size() > kInlineCapacity) {
            const char* p = text.data();
            const auto n = uint32_t(text.size());
            v.bytes_[0] = uint8_t(Kind::Text) | kHeap | kBorrowed;
            std::memcpy(v.bytes_ + 4, &n, 4);
            std::memcpy(v.bytes_ + 8, &p, sizeof p);
        }
        return v;
    }

    Value(const Value& other) : Value() { copyFrom(other); }
    Value(Value&& other) noexcept
    {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        std::memset(other.bytes_, 0, sizeof other.bytes_);
    }
    Value& operator=(const Value& other)
    {
        if (this != &other) {
            release();
            copyFrom(other);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        if (this != &other) {
            release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            std::memset(other.bytes_, 0, sizeof other.bytes_);
        }
        return *this;
    }
    ~Value() { release(); }

    Kind kind() const { return Kind(bytes_[0] & 3); }
    bool isNull() const { return kind() == Kind::Null; }
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isText() const { return kind() == Kind::Text; }

    int64_t integer() const
    {
        int64_t i;
        std::memcpy(&i, bytes_ + 8, 8);
        return i;
    }
    // The text of a Text value; empty for the other kinds.
    std::string_view text() const
    {
        if (!isText())
            return {};
        if (isInline())
            return {reinterpret_cast<const char*>(bytes_ + 2), bytes_[1]};
        return {heapData(), heapSize()};
    }

    bool operator==(const Value& o) const
    {
        if (kind() != o.kind())
            return false;
        if (isInteger())
            return integer() == o.integer();
        return text() == o.text();
    }

private:
    // Layout: byte 0 = kind (bits 0-1) | heap flag (bit 2) | borrowed flag (bit 3);
    //   inline text: byte 1 = length, bytes 2..15 = the text;
    //   heap text:   bytes 4..7 = length, bytes 8..15 = pointer; integer: bytes 8..15.
    static constexpr uint8_t kHeap = 4;
    static constexpr uint8_t kBorrowed = 8;
    static constexpr size_t kInlineCapacity = 14;

    bool isInline() const { return !(bytes_[0] & kHeap); }
    const char* heapData() const
    {
        char* p;
        std::memcpy(&p, bytes_ + 8, sizeof p);
        return p;
    }
    uint32_t heapSize() const
    {
        uint32_t n;
        std::memcpy(&n, bytes_ + 4, 4);
        return n;
    }
    void setInteger(int64_t i)
    {
        bytes_[0] = uint8_t(Kind::Integer);
        std::memcpy(bytes_ + 8, &i, 8);
    }
    void setText(std::string_view s)
    {
        if (s.size() <= kInlineCapacity) {
            bytes_[0] = uint8_t(Kind::Text);
            bytes_[1] = uint8_t(s.size());
            if (!s.empty())
                std::memcpy(bytes_ + 2, s.data(), s.size());
            return;
        }
        char* p = new char[s.size()];
        std::memcpy(p, s.data(), s.size());
        const auto n = uint32_t(s.size());
        bytes_[0] = uint8_t(Kind::Text) | kHeap;
        std::memcpy(bytes_ + 4, &n, 4);
        std::memcpy(bytes_ + 8, &p, sizeof p);
    }
    void copyFrom(const Value& o)
    {
        if (o.isText() && !o.isInline())
            setText(o.text());
        else
            std::memcpy(bytes_, o.bytes_, sizeof bytes_);
    }
    void release()
    {
        if (isText() && !isInline() && !(bytes_[0] & kBorrowed))
            delete[] heapData();
        std::memset(bytes_, 0, sizeof bytes_);
    }

    alignas(8) uint8_t bytes_[16];
};

static_assert(sizeof(Value) == 16);

}  // namespace barqeen
