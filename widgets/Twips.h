#pragma once

#include <QRect>

namespace widgets {

// The windows' layout gives positions and sizes in twips, fifteen to a
// pixel at 96 DPI.
constexpr int kTwipsPerPixel = 15;

constexpr int twips(int length)
{
    return length / kTwipsPerPixel;
}

constexpr QRect twips(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

} // namespace widgets
