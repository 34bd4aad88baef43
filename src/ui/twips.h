#pragma once

#include <cmath>

// Window geometry of the tree pane is kept in twips (1/1440 inch) and converted with the
// screen's logical DPI, so the pane keeps its size on high-DPI screens.
namespace Twips {

inline constexpr int PerInch = 1440;
inline constexpr int TreeStart = 2500;
inline constexpr int TreeMinimum = 120;
inline constexpr int PaneMargin = 100;
inline constexpr int SeparatorWidth = 50;

inline int toPixels(int twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / PerInch));
}

inline int fromPixels(int pixels, double dpi)
{
    return static_cast<int>(std::lround(pixels * PerInch / dpi));
}

// Where a splitter drag may put the pane's edge: no further left than the minimum, no further
// right than half the window's outer width.
inline int clampSplitter(int x, int outerWidthTwips)
{
    if (x <= TreeMinimum)
        return TreeMinimum;
    if (outerWidthTwips / 2 < x)
        return outerWidthTwips / 2;
    return x;
}

} // namespace Twips
