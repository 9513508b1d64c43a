// Where settings are kept: one key at a time, read with a default and written back.
// Natively an INI file of our own reading; on Win32 the profile functions.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace orv::library {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(std::string_view section, std::string_view key, std::string_view fallback) const = 0;
    // Writes one key; on failure `error` says what could not be written.
    virtual bool write(std::string_view section, std::string_view key, std::string_view value,
                       std::string& error) = 0;
    virtual const std::string& path() const = 0;
};

// The INI reader and writer of this program, on any platform.
std::unique_ptr<SettingsStore> makeIniSettingsStore(std::string path);
// The store this platform uses: the profile functions on Win32, the INI reader elsewhere.
std::unique_ptr<SettingsStore> makeSettingsStore(std::string path);

}  // namespace orv::library
