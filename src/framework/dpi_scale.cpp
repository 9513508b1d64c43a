// Scaling between 96-dpi design units and screen pixels.
#include "framework/dpi_scale.h"

#include <algorithm>
#include <cstdint>

namespace orv::framework {

namespace {

constexpr int kDesignDpi = 96;

// value * numerator / denominator rounded to the nearest integer, halves away from zero.
// Done in integers: a factor such as 110/96 is not exact in floating point, and a half
// that comes out as 0.4999 would round the wrong way.
int mulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t magnitude = (product < 0 ? -product : product) * 2 + denominator;
    const std::int64_t rounded = magnitude / (2 * static_cast<std::int64_t>(denominator));
    const std::int64_t result = product < 0 ? -rounded : rounded;
    // Only absurd sizes get here; held at the ends rather than wrapped round to a sign flip.
    return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

int usableDpi(int dpi) { return dpi > 0 ? dpi : kDesignDpi; }

}  // namespace

DpiScale::DpiScale(int logPixelsX, int logPixelsY) : dpiX_(usableDpi(logPixelsX)), dpiY_(usableDpi(logPixelsY)) {}

int DpiScale::ScaleX(int units) const { return mulDivRounded(units, dpiX_, kDesignDpi); }
int DpiScale::ScaleY(int units) const { return mulDivRounded(units, dpiY_, kDesignDpi); }
int DpiScale::UnscaleX(int pixels) const { return mulDivRounded(pixels, kDesignDpi, dpiX_); }
int DpiScale::UnscaleY(int pixels) const { return mulDivRounded(pixels, kDesignDpi, dpiY_); }

}  // namespace orv::framework
