// The import window ("Form制作"): the header import into the private library, the backup
// of both libraries and direct statements on one table, with the query result window.
// Opened modally from the setup window; it closes itself after an import run. Win32 only.
#pragma once

#include "library/host_db.h"

#include <windows.h>

#include <functional>
#include <string>

namespace orv::tools {

inline constexpr const wchar_t* kImportWindowClass = L"OrvintaHelp_Form制作";

// What the window works on and tells the help window.
struct ImportHost {
    library::HostDb& db;
    std::string ideFolder;
    std::string accountName;                     // the settings' account, for the run's uID
    std::function<void(long long)> showReport;   // an import run's root category (private library)
    std::function<void()> reloadTree;            // after a direct statement
};

// Shows the window modally over `owner` and returns once it is closed. A second request
// while it is open brings it forward.
void runImportWindow(HWND owner, const ImportHost& host);
// The open window, or null.
HWND importWindow();

}  // namespace orv::tools
