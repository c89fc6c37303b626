#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace toolkit {

// Parses an optionally signed decimal integer in the 32-bit signed range.
// Blanks (spaces and tabs) around the number are accepted; anything else
// raises EConvertError with a message that quotes the text.
std::int32_t StrToInt(std::string_view text);

// Formats the value, which the program only ever gives as a widened double,
// as the shortest decimal that reads back as the same double, with a "."
// separator whatever the locale. Fixed or scientific notation, whichever is
// shorter ("0.001", "1e+300", "1.5e-07"); non-finite values are "INF",
// "-INF" and "NAN".
std::string FloatToStr(long double value);
// Appends FloatToStr(value) to the text, without a string of its own: for
// tables of millions of numbers.
void AppendFloat(std::string& text, long double value);

// The value rounded to the given number of significant digits (1 to 17),
// for a reader rather than for reading back: "146.118" for
// 146.11847735067417 at 6 digits, trailing zeros dropped, exponent form
// as printf's %g chooses it; non-finite values as FloatToStr gives them.
std::string FloatToStrRounded(long double value, int significantDigits);

// A step, which the chart's axis holds as a double, in whole digits where
// it is whole ("5000000", never "5e+06"); FloatToStr's text otherwise.
std::string StepText(double step);

[[noreturn]] void ThrowOverflow();

// Rounds an extended value (long double, or the model's own extended type
// where long double is not that format) to double; raises EOverflow when
// the double cannot hold it (the rounded value would be infinite or NaN).
// Inline: the runs call it four times a step.
template <class ExtendedValue>
double ToDouble(ExtendedValue value)
{
    const double d = static_cast<double>(value);
    if (!std::isfinite(d)) [[unlikely]]
        ThrowOverflow();
    return d;
}

} // namespace toolkit
