#include "model/Extended.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using toolkit::FloatToStr;
using toolkit::StrToInt;

struct Parsed {
    std::string text;
    std::int32_t value;
};

void PrintTo(const Parsed& p, std::ostream* out) { *out << testing::PrintToString(p.text); }

class StrToIntAccepts : public testing::TestWithParam<Parsed> {};

TEST_P(StrToIntAccepts, ReturnsTheValue)
{
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Decimals, StrToIntAccepts,
                         testing::Values(Parsed{"0", 0}, Parsed{"-0", 0}, Parsed{"+7", 7},
                                         Parsed{"10", 10}, Parsed{"-578", -578}, Parsed{"007", 7},
                                         Parsed{"2147483647", 2147483647},
                                         Parsed{"-2147483648", INT32_MIN},
                                         Parsed{"+0002147483647", 2147483647},
                                         // Blanks around the number are accepted.
                                         Parsed{" 42", 42}, Parsed{"42  ", 42}, Parsed{"\t-5 ", -5}));

class StrToIntRejects : public testing::TestWithParam<std::string> {};

TEST_P(StrToIntRejects, RaisesTheConversionError)
{
    EXPECT_THROW(StrToInt(GetParam()), toolkit::EConvertError);
}

INSTANTIATE_TEST_SUITE_P(
    NotIntegers, StrToIntRejects,
    testing::Values("", " ", "\t", "+", "-", "--5", "+-5", "-+5", "++5", "2.5", "abc", "1e3", "0x10",
                    "10abc", "1 2", "- 5", "\n5", "5\r", "2147483648", "-2147483649",
                    "99999999999999999999", std::string("1\0" "2", 3), std::string("5\0", 2),
                    "\u0663" /* ARABIC-INDIC DIGIT THREE */, "\uFF15" /* FULLWIDTH FIVE */,
                    std::string(100000, '9')));

TEST(StrToInt, ErrorMessageQuotesTheText)
{
    try {
        StrToInt("abc");
        FAIL() << "no error raised";
    } catch (const toolkit::Exception& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
}

TEST(StrToInt, ErrorMessageShortensLongTextAndEscapesControlCharacters)
{
    try {
        StrToInt(std::string(100000, '9'));
        FAIL() << "no error raised";
    } catch (const toolkit::EConvertError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + std::string(40, '9') + "...' is not a valid integer value");
    }
    try {
        StrToInt(std::string("1\0" "2", 3));
        FAIL() << "no error raised";
    } catch (const toolkit::EConvertError& error) {
        EXPECT_STREQ(error.what(), "'1\\x002' is not a valid integer value");
    }
}

TEST(StrToInt, ErrorMessageNeverCutsACharacterInTwo)
{
    // "М" is two bytes: forty bytes in, the twentieth one straddles the cut.
    std::string cyrillic;
    for (int i = 0; i < 20; ++i)
        cyrillic += "\u041C";
    const std::string nineteen = cyrillic.substr(0, 38);
    struct Cut {
        std::string text;
        std::string shown;
    };
    for (const Cut& cut : {Cut{"x" + cyrillic, "x" + nineteen}, Cut{cyrillic + "x", cyrillic},
                           // Four-byte characters; with bytes 37 to 40 the cut backs off three.
                           Cut{std::string(37, 'x') + "\U0001F600y", std::string(37, 'x')},
                           // Stray continuation bytes back off no further than that.
                           Cut{std::string(45, '\x80'), std::string(37, '\x80')}}) {
        try {
            StrToInt(cut.text);
            ADD_FAILURE() << "no error raised";
        } catch (const toolkit::EConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + cut.shown + "...' is not a valid integer value");
        }
    }
}

struct Formatted {
    double value;
    const char* text;
};

void PrintTo(const Formatted& f, std::ostream* out) { *out << f.text; }

class FloatToStrFormats : public testing::TestWithParam<Formatted> {};

TEST_P(FloatToStrFormats, ShortestRoundTripForm)
{
    EXPECT_EQ(FloatToStr(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FloatToStrFormats,
    testing::Values(Formatted{kStep10Md, StepMaximaOf("10").md}, Formatted{0.0, "0"},
                    Formatted{-0.0, "-0"}, Formatted{kStep10Omega, StepMaximaOf("10").omega},
                    Formatted{13.008000000000001, "13.008000000000001"}, Formatted{12.0, "12"},
                    Formatted{-0.5813953488372093, "-0.5813953488372093"}, Formatted{0.001, "0.001"},
                    Formatted{123456789.0, "123456789"}, Formatted{1e21, "1e+21"},
                    Formatted{9.157e73, "9.157e+73"}, Formatted{1.5e-7, "1.5e-07"},
                    Formatted{DBL_MAX, "1.7976931348623157e+308"},
                    Formatted{std::numeric_limits<double>::denorm_min(), "5e-324"},
                    Formatted{INFINITY, "INF"}, Formatted{-INFINITY, "-INF"},
                    Formatted{std::numeric_limits<double>::quiet_NaN(), "NAN"}));

TEST(FloatToStr, EveryFiniteDoubleReadsBack)
{
    std::mt19937_64 bits(12345);
    for (int i = 0; i < 100000; ++i) {
        const double value = std::bit_cast<double>(bits());
        if (!std::isfinite(value))
            continue;
        const std::string text = FloatToStr(value);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(Bits(back), Bits(value)) << text;
    }
}

TEST(FloatToStrRounded, KeepsTheGivenSignificantDigitsAsPrintfDoes)
{
    for (const double value : {146.11847735067417, 157.06422059784802, 0.25100000000000001, -0.5813953488372093, 0.0,
                               -0.0, 1999.0, 2000.0, 123456789.0, 1.5e-7, 0.000123456789, 999999.5, 1e21, DBL_MAX,
                               std::numeric_limits<double>::denorm_min()})
        for (int digits : {1, 6, 17}) {
            std::array<char, 64> printed{};
            std::snprintf(printed.data(), printed.size(), "%.*g", digits, value);
            EXPECT_EQ(toolkit::FloatToStrRounded(value, digits), printed.data()) << digits;
        }
    EXPECT_EQ(toolkit::FloatToStrRounded(146.11847735067417, 6), "146.118");
    EXPECT_EQ(toolkit::FloatToStrRounded(-INFINITY, 6), "-INF");
    EXPECT_EQ(toolkit::FloatToStrRounded(NAN, 6), "NAN");
    EXPECT_THROW(toolkit::FloatToStrRounded(1, 0), std::invalid_argument);
    EXPECT_THROW(toolkit::FloatToStrRounded(1, 18), std::invalid_argument);
}

TEST(ToDouble, RaisesOverflowOnlyBeyondTheDoubleRange)
{
    EXPECT_EQ(toolkit::ToDouble(-1.5L), -1.5);
    EXPECT_EQ(toolkit::ToDouble(static_cast<long double>(DBL_MAX)), DBL_MAX);
    if (kHardwareExtended) {
        // Just above DBL_MAX in extended, yet it rounds down to DBL_MAX.
        const long double justAbove = std::nextafter(static_cast<long double>(DBL_MAX), INFINITY);
        EXPECT_EQ(toolkit::ToDouble(justAbove), DBL_MAX);
    }
    for (long double beyond : {static_cast<long double>(DBL_MAX) * 2, -static_cast<long double>(DBL_MAX) * 2,
                               static_cast<long double>(INFINITY), static_cast<long double>(NAN)}) {
        try {
            toolkit::ToDouble(beyond);
            ADD_FAILURE() << "no error for " << static_cast<double>(beyond);
        } catch (const toolkit::EOverflow& error) {
            EXPECT_STREQ(error.what(), "Floating point overflow");
        }
    }
}

} // namespace
