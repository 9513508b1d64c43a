// GDI+ started on first use and shut down when its last user lets go. Win32 only.
#pragma once

namespace orv::framework {

// Takes one reference on GDI+, starting it when there was none. A start that fails is
// shown to the user ("GDI+ initialization failed - Error: " and the status) and takes
// no reference: false then, and the caller does without pictures.
bool AcquireGdiplus();
// Gives one reference back; the last one shuts GDI+ down. Never from DllMain.
void ReleaseGdiplus();
// Whether GDI+ is started now (for tests and diagnostics).
bool GdiplusRunning();

// One reference for the life of a scope.
class GdiplusUse {
public:
    GdiplusUse() : held_(AcquireGdiplus()) {}
    ~GdiplusUse() {
        if (held_) ReleaseGdiplus();
    }
    GdiplusUse(const GdiplusUse&) = delete;
    GdiplusUse& operator=(const GdiplusUse&) = delete;
    bool ok() const { return held_; }

private:
    bool held_;
};

}  // namespace orv::framework
