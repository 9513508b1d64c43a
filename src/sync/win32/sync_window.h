// The sync window ("Form同步"): the public library's change records, what each changes,
// fetching new ones from the server, applying the pending ones, and deleting records or
// changing their state. Opened from the help window's 同步 button. Win32 only.
#pragma once

#include "library/host_db.h"
#include "library/settings.h"

#include <windows.h>

#include <functional>
#include <string>

namespace orv::sync {

// What the window works on and tells its opener; the help window that opens it outlives
// it (it is an owned window, destroyed before its owner).
struct SyncHost {
    library::HostDb& db;
    const library::Settings& settings;
    std::function<void(const std::string&)> showLink;        // a record's page ("r0…", "k0…", "y0…")
    std::function<void()> libraryChanged;                    // after records were applied
    std::function<void(const std::string&)> setSyncCaption;  // the 同步 button's caption
    std::function<void()> openSetup;                         // after the server refused the account
};

inline constexpr const wchar_t* kSyncWindowName = L"Form同步";

// Opens the window, or brings the open one to the front.
void openSyncWindow(HWND owner, const SyncHost& host);
// The open window, or null.
HWND syncWindow();

}  // namespace orv::sync
