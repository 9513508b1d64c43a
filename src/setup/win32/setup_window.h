// The setup window ("Setup"): the options, the server account and its test, compacting
// both libraries. Opened from the help window's 设置 button. Win32 only.
#pragma once

#include "library/host_db.h"
#include "library/settings.h"
#include "library/settings_store.h"

#include <windows.h>

#include <functional>
#include <string>

namespace orv::setup {

// What the window works on; the help window that opens it outlives it (it is an owned
// window, destroyed before its owner).
struct SetupHost {
    library::HostDb& db;
    library::Settings& settings;      // the help window's copy, changed in place
    library::SettingsStore* store;    // null: nothing can be written
    std::function<void()> refreshTree;  // after the recycle-bin option changed
    std::string ideFolder;              // the libraries' folder, for the import window's backup
    std::function<void(long long)> showImportReport;  // an import run's root category
    std::function<void()> reloadTree;   // after a direct statement of the import window
};

// Opens the window, or brings the open one to the front.
void openSetupWindow(HWND owner, const SetupHost& host);
// The open window, or null.
HWND setupWindow();

}  // namespace orv::setup
