// The native build's settings store: our own INI reader and writer (the Win32 build
// uses the profile functions instead).
#include "library/settings_store.h"

namespace orv::library {

std::unique_ptr<SettingsStore> makeSettingsStore(std::string path) { return makeIniSettingsStore(std::move(path)); }

}  // namespace orv::library
