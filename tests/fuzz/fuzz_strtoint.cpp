// Feeds any bytes to StrToInt as the text of the load box. It may answer
// only with a value or EConvertError (any other exception escapes and ends
// the run as a crash). A value must be the one the text spells and must read
// back from its own decimal form; an error message must quote the text
// printably and stay short.

#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "StrToInt %s (input of %zu bytes)\n", what, text.size());
    std::abort();
}

// The value the text spells, found digit by digit rather than with
// from_chars so that the two ways can disagree.
std::optional<std::int32_t> Spelled(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Held at 2^32 once past it, so a long run of digits cannot wrap round.
    constexpr std::int64_t kPastRange = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = std::min(magnitude * 10 + (c - '0'), kPastRange);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Bytes in the UTF-8 sequence this lead byte starts; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 0;
}

// Whether the bytes are UTF-8 made of whole sequences (overlong forms and
// surrogates pass: only cut sequences matter here).
bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

void CheckMessage(std::string_view message, std::string_view text)
{
    constexpr std::string_view kSuffix = "' is not a valid integer value";
    // Forty bytes shown, each at most four characters once escaped, "..." after.
    constexpr std::size_t kLongest = 1 + 40 * 4 + 3 + kSuffix.size();
    if (!message.starts_with('\'') || !message.ends_with(kSuffix))
        Fail("gave an error message of another form", text);
    if (message.size() > kLongest)
        Fail("gave an overlong error message", text);
    if (std::any_of(message.begin(), message.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        Fail("left a control character in the error message", text);
    if (IsUtf8(text) && !IsUtf8(message))
        Fail("cut a character in two in the error message", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> spelled = Spelled(text);

    std::int32_t value = 0;
    try {
        value = toolkit::StrToInt(text);
    } catch (const toolkit::EConvertError& error) {
        if (spelled)
            Fail("rejected an integer", text);
        CheckMessage(error.what(), text);
        return 0;
    }
    if (!spelled)
        Fail("accepted text that is no integer", text);
    if (value != *spelled)
        Fail("read the wrong value", text);

    std::array<char, 16> decimal{};
    const auto written = std::to_chars(decimal.data(), decimal.data() + decimal.size(), value);
    if (written.ec != std::errc{})
        Fail("gave a value to_chars cannot write", text);
    if (toolkit::StrToInt(std::string_view(decimal.data(), written.ptr)) != value)
        Fail("does not read back the decimal form of its own value", text);
    return 0;
}
