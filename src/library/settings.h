// The plug-in's options and the help window's state, read once from the settings file
// and written back key by key.
#pragma once

#include "library/settings_store.h"

#include <string>

namespace orv::library {

inline constexpr std::string_view kSetupSection = "setup";
inline constexpr std::string_view kHelpSection = "orvHelp";
// The sync server used until the user names another one.
inline constexpr std::string_view kDefaultServer = "http://localhost:1314/";

struct WindowPlacement {
    int left = 0, top = 0, right = 750, bottom = 450;
    int topMost = 0;  // -1 topmost, 0 not
    int flags = 0;
    int showCmd = 0;
};

struct Settings {
    int dividing = 205;
    int kill = 1;        // ask before deleting
    int update = 0;      // not 0: change the public library without the server
    int recycle = 1;     // show recycle bins
    int classified = 1;  // category pages list their contents
    std::string user;    // as typed; fragments quote it like any other text
    std::string password;
    std::string server;  // ends with '/'
    std::string updateDate;
    WindowPlacement placement;

    // Public-library changes go without the server. The setup window stores its ticked
    // box as -1, older files hold 1: any value but 0 means free changes.
    bool freeChanges() const { return update != 0; }
};

Settings readSettings(const SettingsStore& store);

// Each writes its keys one by one and stops at the first that fails.
bool writeDividing(SettingsStore& store, int dividing, std::string& error);
bool writeUpdateDate(SettingsStore& store, std::string_view date, std::string& error);
bool writePlacement(SettingsStore& store, const WindowPlacement& placement, std::string& error);
// The "setup" keys.
bool writeSetup(SettingsStore& store, const Settings& settings, std::string& error);

}  // namespace orv::library
