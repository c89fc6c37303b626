#pragma once

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
