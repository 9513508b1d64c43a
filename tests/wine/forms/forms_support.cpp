// The form tests' shared helpers. Win32 only.
#include "forms/forms_support.h"

#include "framework/win32/message_loop.h"
#include "text/win32/wide_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orv::forms_test {

int expectedDpi() {
    const char* value = std::getenv("ORV_EXPECTED_DPI");
    return value ? std::atoi(value) : 0;
}

std::wstring journeyPicture(const std::string& fileName) {
    std::string path = std::string(ORV_JOURNEY_DIR) + "/" + fileName;
    // Wine maps a Unix path through the Z: drive.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return text::utf8ToWide(path);
}

RECT rectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND makeForm(framework::FormOptions options, std::unique_ptr<framework::FormHandler> handler) {
    std::string error;
    HWND form = framework::CreateForm(options, std::move(handler), error);
    EXPECT_NE(form, nullptr) << error;
    return form;
}

bool dispatchUntil(const std::function<bool()>& done, unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        framework::WaitDispatching(10);
    }
    return true;
}

}  // namespace orv::forms_test
