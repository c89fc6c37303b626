#pragma once

#include <QImage>

// How many pixels of two pictures of one size differ.
inline int PixelsDiffering(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}
