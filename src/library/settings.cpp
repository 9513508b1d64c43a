// Reading and writing the options of the settings file.
#include "library/settings.h"

#include "library/fragment.h"

namespace orv::library {
namespace {

int readInt(const SettingsStore& store, std::string_view section, std::string_view key, int fallback) {
    const std::string text = store.read(section, key, "");
    return text.empty() ? fallback : static_cast<int>(toInt(text));
}

struct IntKey {
    std::string_view section;
    std::string_view key;
    int Settings::*field;
    int fallback;
};

const IntKey kIntKeys[] = {
    {kHelpSection, "Dividing", &Settings::dividing, 205},
    {kSetupSection, "kill", &Settings::kill, 1},
    {kSetupSection, "update", &Settings::update, 0},
    {kSetupSection, "recycle", &Settings::recycle, 1},
    {kSetupSection, "Classified", &Settings::classified, 1},
};

struct PlacementKey {
    std::string_view key;
    int WindowPlacement::*field;
};

const PlacementKey kPlacementKeys[] = {
    {"Left", &WindowPlacement::left},       {"Right", &WindowPlacement::right},
    {"Top", &WindowPlacement::top},         {"Bottom", &WindowPlacement::bottom},
    {"TopMost", &WindowPlacement::topMost}, {"flags", &WindowPlacement::flags},
    {"showCmd", &WindowPlacement::showCmd},
};

}  // namespace

Settings readSettings(const SettingsStore& store) {
    Settings s;
    for (const IntKey& k : kIntKeys) s.*(k.field) = readInt(store, k.section, k.key, k.fallback);
    s.user = store.read(kSetupSection, "user", "");
    s.password = store.read(kSetupSection, "password", "");
    s.server = store.read(kSetupSection, "server", kDefaultServer);
    if (s.server.empty() || s.server.back() != '/') s.server += '/';
    s.updateDate = store.read(kHelpSection, "UpdateDate", "");
    for (const PlacementKey& k : kPlacementKeys) s.placement.*(k.field) = readInt(store, kHelpSection, k.key, 0);
    if (s.placement.right == 0) s.placement.right = 750;
    if (s.placement.bottom == 0) s.placement.bottom = 450;
    return s;
}

bool writeDividing(SettingsStore& store, int dividing, std::string& error) {
    return store.write(kHelpSection, "Dividing", std::to_string(dividing), error);
}

bool writeUpdateDate(SettingsStore& store, std::string_view date, std::string& error) {
    return store.write(kHelpSection, "UpdateDate", date, error);
}

bool writePlacement(SettingsStore& store, const WindowPlacement& placement, std::string& error) {
    for (const PlacementKey& k : kPlacementKeys)
        if (!store.write(kHelpSection, k.key, std::to_string(placement.*(k.field)), error)) return false;
    return true;
}

bool writeSetup(SettingsStore& store, const Settings& settings, std::string& error) {
    for (const IntKey& k : kIntKeys) {
        if (k.section != kSetupSection) continue;
        if (!store.write(k.section, k.key, std::to_string(settings.*(k.field)), error)) return false;
    }
    return store.write(kSetupSection, "user", settings.user, error) &&
           store.write(kSetupSection, "password", settings.password, error) &&
           store.write(kSetupSection, "server", settings.server, error);
}

}  // namespace orv::library
