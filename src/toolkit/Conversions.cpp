#include "toolkit/Conversions.h"

#include "toolkit/Exception.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace toolkit {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// How many bytes of the text an error message shows: very long input is
// shortened, but never inside a UTF-8 character, which the window would
// show as a replacement mark. Backing off at most three bytes finds the
// start of any character and keeps text that is no UTF-8 near the limit.
std::size_t ShownLength(std::string_view text)
{
    constexpr std::size_t kMaxShown = 40;
    if (text.size() <= kMaxShown)
        return text.size();
    std::size_t shown = kMaxShown;
    while (shown > kMaxShown - 3 && IsUtf8Continuation(text[shown]))
        --shown;
    return shown;
}

// The text as it appears in an error message: control characters escaped so
// the message stays readable, and very long input shortened.
std::string Quoted(std::string_view text)
{
    const std::size_t shownLength = ShownLength(text);
    std::string shown = "'";
    for (std::size_t i = 0; i < shownLength; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            std::array<char, 5> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\x%02X", c);
            shown += escaped.data();
        } else {
            shown += static_cast<char>(c);
        }
    }
    if (shownLength < text.size())
        shown += "...";
    return shown + "'";
}

[[noreturn]] void ThrowNotAnInteger(std::string_view text)
{
    throw EConvertError(Quoted(text) + " is not a valid integer value");
}

} // namespace

std::int32_t StrToInt(std::string_view text)
{
    std::string_view number = text;
    while (!number.empty() && IsBlank(number.front()))
        number.remove_prefix(1);
    while (!number.empty() && IsBlank(number.back()))
        number.remove_suffix(1);

    // from_chars takes a '-' but no '+': the sign is read here, the digits
    // after it are checked, and only a '-' is left for from_chars.
    const bool negative = !number.empty() && number.front() == '-';
    const bool hasSign = !number.empty() && (negative || number.front() == '+');
    const std::string_view digits = number.substr(hasSign ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
        ThrowNotAnInteger(text);
    const std::string_view parsed = negative ? number : digits;

    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(parsed.data(), parsed.data() + parsed.size(), value);
    if (error != std::errc{} || end != parsed.data() + parsed.size())
        ThrowNotAnInteger(text);
    return value;
}

namespace {

std::string NonFiniteText(double d)
{
    if (std::isnan(d))
        return "NAN";
    return d < 0 ? "-INF" : "INF";
}

} // namespace

std::string FloatToStr(long double value)
{
    std::string text;
    AppendFloat(text, value);
    return text;
}

void AppendFloat(std::string& text, long double value)
{
    const double d = static_cast<double>(value);
    if (!std::isfinite(d)) {
        text += NonFiniteText(d);
        return;
    }
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), d);
    text.append(buffer.data(), result.ptr);
}

std::string FloatToStrRounded(long double value, int significantDigits)
{
    if (significantDigits < 1 || significantDigits > 17)
        throw std::invalid_argument("significant digits must be 1 to 17, not " + std::to_string(significantDigits));
    const double d = static_cast<double>(value);
    if (!std::isfinite(d))
        return NonFiniteText(d);
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), d, std::chars_format::general,
                                      significantDigits);
    return std::string(buffer.data(), result.ptr);
}

std::string StepText(double step)
{
    // Whole doubles below 2^63 in magnitude convert to a 64-bit integer exactly.
    if (std::trunc(step) == step && std::fabs(step) < 0x1p63)
        return std::to_string(static_cast<std::int64_t>(step));
    return FloatToStr(step);
}

void ThrowOverflow()
{
    throw EOverflow();
}

} // namespace toolkit
