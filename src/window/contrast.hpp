// The contrast of two colours as WCAG 2.x defines it: from 1 (the same luminance) to 21 (black on
// white). The one formula for the runtimes that judge a palette and for the tests that judge pixels.
#pragma once

#include <algorithm>
#include <cmath>

#include "content/house_table.hpp"

namespace quorbel {

// Relative luminance of an sRGB colour, 0 for black to 1 for white.
inline double RelativeLuminance(Rgb colour) {
    auto linear = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) + 0.0722 * linear(colour.blue);
}

inline double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace quorbel
