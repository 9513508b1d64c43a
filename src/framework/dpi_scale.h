// Form and control geometry is written in units of a 96-dpi screen; this turns those units
// into the real screen's pixels and back.
#pragma once

namespace orv::framework {

// The screen's dpi, read once by the window layer (LOGPIXELSX, LOGPIXELSY) and kept.
class DpiScale {
public:
    // A dpi that is not positive (a failed device query) counts as 96, so that a window
    // still gets its design size rather than nothing.
    DpiScale(int logPixelsX, int logPixelsY);

    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }

    // Design units to pixels: multiplied by dpi / 96 and rounded to the nearest integer,
    // halves away from zero.
    int ScaleX(int units) const;
    int ScaleY(int units) const;
    // Pixels to design units: divided by dpi / 96, rounded the same way, so that a value
    // scaled and unscaled again comes back unchanged on any screen of 96 dpi or more.
    int UnscaleX(int pixels) const;
    int UnscaleY(int pixels) const;

private:
    int dpiX_;
    int dpiY_;
};

}  // namespace orv::framework
