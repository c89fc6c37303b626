#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// A colour laid out 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour clRed = 0x0000FF;
inline constexpr Colour clGreen = 0x008000;
inline constexpr Colour clBlue = 0xFF0000;
inline constexpr Colour clYellow = 0x00FFFF;
inline constexpr Colour clFuchsia = 0xFF00FF;
inline constexpr Colour clGray = 0x808080;
inline constexpr Colour clBlack = 0x000000;
inline constexpr Colour clWhite = 0xFFFFFF;
inline constexpr Colour clSilver = 0xC0C0C0;
inline constexpr Colour clOrange = 0x0080FF;
inline constexpr Colour clNavyFrame = 0x400000;

constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// The colour with these red, green and blue parts, each 0 to 255.
constexpr Colour Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return red | green << 8 | blue << 16;
}

// Colours for pinned traces: dark and saturated, so that each reads as a
// line of its own on the chart's silver and on white paper, and none is
// the black of the model's static curve. Far apart in hue first.
inline constexpr std::array<Colour, 12> kPinPalette{{
    Rgb(0x1F, 0x4E, 0x9C), // blue
    Rgb(0xB2, 0x18, 0x2B), // red
    Rgb(0x1B, 0x78, 0x37), // green
    Rgb(0x76, 0x2A, 0x83), // purple
    Rgb(0xD9, 0x5F, 0x02), // orange
    Rgb(0x01, 0x66, 0x5E), // teal
    Rgb(0xC5, 0x1B, 0x7D), // magenta
    Rgb(0x8C, 0x51, 0x0A), // brown
    Rgb(0x08, 0x30, 0x6B), // navy
    Rgb(0x6B, 0x6B, 0x00), // olive
    Rgb(0x40, 0x40, 0x40), // charcoal
    Rgb(0x00, 0x8B, 0xA8), // cyan
}};

// The ramp a family's members take their colours along, in their family's
// order: from navy through purple and red to orange, each dark enough to
// read on the silver and on paper, and ordered by hue and lightness so
// that neighbouring values look alike and the ends apart.
// Its stops are pins' colours.
inline constexpr std::array<Colour, 4> kFamilyRamp{{
    kPinPalette[8], // navy
    kPinPalette[3], // purple
    kPinPalette[1], // red
    kPinPalette[4], // orange
}};

// The colour of the member at index among count along kFamilyRamp: its
// first stop for the first member (and a lone one), its last for the last,
// and evenly between, each part rounded to the nearest.
constexpr Colour FamilyColour(std::size_t index, std::size_t count)
{
    const double along = count < 2 ? 0.0
                                   : static_cast<double>(index) / static_cast<double>(count - 1) *
                                         static_cast<double>(kFamilyRamp.size() - 1);
    const std::size_t stop = std::min(static_cast<std::size_t>(along), kFamilyRamp.size() - 2);
    const double part = along - static_cast<double>(stop);
    auto mix = [part](int from, int to) {
        return static_cast<std::uint32_t>(from + (to - from) * part + 0.5);
    };
    const Colour from = kFamilyRamp[stop];
    const Colour to = kFamilyRamp[stop + 1];
    return Rgb(mix(RedOf(from), RedOf(to)), mix(GreenOf(from), GreenOf(to)), mix(BlueOf(from), BlueOf(to)));
}
