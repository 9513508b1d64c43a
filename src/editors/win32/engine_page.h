// The editors' pages as the core reads them: scripts run in the browser control, their
// values as UTF-8, and a script that threw told apart from one that returned nothing.
// Win32 only.
#pragma once

#include "editors/editor_sources.h"
#include "framework/win32/browser_control.h"

namespace orv::editors {

class EnginePage : public EditorPage {
public:
    explicit EnginePage(framework::BrowserControl& control) : control_(control) {}
    std::optional<std::string> run(std::string_view script) override;

private:
    framework::BrowserControl& control_;
};

// The system's button face as the pages' background colour.
std::string buttonFaceColour();

}  // namespace orv::editors
