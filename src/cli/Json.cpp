#include "cli/Json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace cli {

namespace {

// The text as a JSON string, quoted, with quotes, backslashes and control
// characters escaped.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr std::string_view kHex = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kHex[static_cast<unsigned char>(c) >> 4];
            quoted += kHex[static_cast<unsigned char>(c) & 0xf];
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

} // namespace

JsonWriter& JsonWriter::Open(char bracket)
{
    StartValue();
    text_ += bracket;
    open_.push_back({bracket == '{' ? '}' : ']', true});
    return *this;
}

JsonWriter& JsonWriter::Close()
{
    const Level level = open_.back();
    open_.pop_back();
    if (!level.empty)
        text_.append("\n").append(2 * open_.size(), ' ');
    text_ += level.closer;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name)
{
    StartValue();
    text_ += Quoted(name) + ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::StartValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (open_.empty())
        return;
    if (!open_.back().empty)
        text_ += ',';
    open_.back().empty = false;
    text_.append("\n").append(2 * open_.size(), ' ');
}

JsonWriter& JsonWriter::Raw(std::string_view text)
{
    StartValue();
    text_ += text;
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    if (!std::isfinite(value))
        return Null();
    std::array<char, 32> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return Raw({digits.data(), end});
}

JsonWriter& JsonWriter::Integer(std::int64_t value)
{
    return Raw(std::to_string(value));
}

JsonWriter& JsonWriter::String(std::string_view text)
{
    return Raw(Quoted(text));
}

JsonWriter& JsonWriter::Boolean(bool value)
{
    return Raw(value ? "true" : "false");
}

JsonWriter& JsonWriter::Null()
{
    return Raw("null");
}

std::string JsonWriter::Text() const
{
    if (!open_.empty())
        throw std::logic_error("a JSON document with an object or array left open");
    return text_ + '\n';
}

} // namespace cli
