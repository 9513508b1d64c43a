// Settings kept in an INI file through IniFile: every read sees the file as it is now,
// every write changes one key and leaves the rest of the file as it was.
#include "library/ini_file.h"
#include "library/settings_store.h"

namespace orv::library {
namespace {

class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(std::string path) : path_(std::move(path)) {}

    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
        return IniFile::load(path_).get(section, key, fallback);
    }

    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string& error) override {
        IniFile ini = IniFile::load(path_);
        ini.set(section, key, value);
        return ini.save(path_, error);
    }

    const std::string& path() const override { return path_; }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeIniSettingsStore(std::string path) {
    return std::make_unique<IniSettingsStore>(std::move(path));
}

}  // namespace orv::library
