#include "core/store/filter_expression.h"

#include "core/common/error.h"
#include "core/text/codepage.h"

#include <cctype>
#include <charconv>

namespace barqeen {
namespace {

struct Token {
    enum Kind { End, Name, Text, Number, Equals, Other } kind = End;
    std::string text;  // the token as written (for messages) or its value
};

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    Token next()
    {
        while (pos_ < s_.size() && std::isspace(uint8_t(s_[pos_])))
            ++pos_;
        if (pos_ >= s_.size())
            return {Token::End, {}};
        const size_t start = pos_;
        const char c = s_[pos_];
        if (c == '=') {
            ++pos_;
            return {Token::Equals, "="};
        }
        if (c == '\'')
            return quoted();
        if (c == '[') {
            const size_t close = s_.find(']', pos_);
            if (close == std::string_view::npos)
                throw Error(format("Unterminated field name in '%s'", {codepage::utf8(s_)}));
            pos_ = close + 1;
            return {Token::Name, std::string(s_.substr(start + 1, close - start - 1))};
        }
        if (std::isalpha(uint8_t(c)) || c == '_') {
            while (pos_ < s_.size() && (std::isalnum(uint8_t(s_[pos_])) || s_[pos_] == '_'))
                ++pos_;
            return {Token::Name, std::string(s_.substr(start, pos_ - start))};
        }
        if (std::isdigit(uint8_t(c)) || (c == '-' && pos_ + 1 < s_.size() && std::isdigit(uint8_t(s_[pos_ + 1])))) {
            ++pos_;
            while (pos_ < s_.size() && std::isdigit(uint8_t(s_[pos_])))
                ++pos_;
            return {Token::Number, std::string(s_.substr(start, pos_ - start))};
        }
        ++pos_;
        while (pos_ < s_.size() && !std::isspace(uint8_t(s_[pos_])) && !std::isalnum(uint8_t(s_[pos_])))
            ++pos_;
        return {Token::Other, std::string(s_.substr(start, pos_ - start))};
    }

private:
    Token quoted()
    {
        std::string value;
        ++pos_;
        while (pos_ < s_.size()) {
            if (s_[pos_] == '\'') {
                if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {  // '' stands for one quote
                    value += '\'';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return {Token::Text, value};
            }
            value += s_[pos_++];
        }
        throw Error("Unterminated string");
    }

    std::string_view s_;
    size_t pos_ = 0;
};

std::string describe(const Token& t)
{
    return t.kind == Token::End ? std::string("nothing") : codepage::utf8(t.text);
}

}  // namespace

FilterExpression parseFilter(std::string_view text,
                             const std::function<int(std::string_view)>& fieldIndexOf)
{
    Lexer lexer(text);
    Token t = lexer.next();
    if (t.kind == Token::End)
        return {};
    if (t.kind != Token::Name)
        throw Error(format("Expression expected but %s found", {describe(t)}));
    FilterExpression expr;
    expr.fieldIndex = fieldIndexOf(t.text);
    if (expr.fieldIndex < 0)
        throw Error(format("Field '%s' not found", {codepage::utf8(t.text)}));

    t = lexer.next();
    if (t.kind != Token::Equals)
        throw Error(format("Operator expected but %s found", {describe(t)}));

    t = lexer.next();
    if (t.kind == Token::Text)
        expr.literal = Value(t.text);
    else if (t.kind == Token::Number) {
        int64_t n = 0;
        const auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), n);
        if (ec != std::errc() || end != t.text.data() + t.text.size())
            throw Error(format("'%s' is not a valid integer value", {t.text}));
        expr.literal = Value(n);
    }
    else
        throw Error(format("Expression expected but %s found", {describe(t)}));

    t = lexer.next();
    if (t.kind != Token::End)
        throw Error(format("End of expression expected but %s found", {describe(t)}));
    return expr;
}

FilterExpression equalsFilter(int fieldIndex, Value value)
{
    // No value is the text "Field = " with nothing after it, and is refused as that text is.
    if (value.isNull())
        throw Error(format("Expression expected but %s found", {describe(Token{Token::End, {}})}));
    FilterExpression expr;
    expr.fieldIndex = fieldIndex;
    expr.literal = std::move(value);
    return expr;
}

std::string filterTextOf(std::string_view fieldName, const Value& value)
{
    std::string text = std::string(fieldName) + " = ";
    if (!value.isText())
        return text + std::to_string(value.integer());
    text += '\'';
    for (const char c : value.text())
        text += c == '\'' ? std::string("''") : std::string(1, c);
    return text + '\'';
}

}  // namespace barqeen
