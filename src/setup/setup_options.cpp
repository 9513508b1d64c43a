// The account check, the options written back, and the registration's answer.
#include "setup/setup_options.h"

#include "sync/wire_packing.h"
#include "text/ascii.h"

namespace orv::setup {
namespace {

struct BoxKey {
    std::string_view key;
    int library::Settings::*setting;
    bool SetupFields::*field;
};
constexpr BoxKey kBoxes[] = {
    {"kill", &library::Settings::kill, &SetupFields::kill},
    {"update", &library::Settings::update, &SetupFields::update},
    {"recycle", &library::Settings::recycle, &SetupFields::recycle},
    {"Classified", &library::Settings::classified, &SetupFields::classified},
};

std::string withSlash(std::string server) {
    if (server.empty() || server.back() != '/') server += '/';
    return server;
}

bool write(library::SettingsStore& store, std::string_view key, std::string_view value, SetupWritten& written) {
    if (!written.ok) return false;
    written.ok = store.write(library::kSetupSection, key, value, written.error);
    return written.ok;
}

}  // namespace

std::string AccountProblem(std::string_view account, std::string_view password) {
    const std::string_view name = text::trimBlanks(account);
    if (name.empty()) return std::string(kAccountMissing);
    if (text::trimBlanks(password).empty()) return std::string(kPasswordMissing);
    for (const char c : kSpecialCharacters)
        if (name.find(c) != std::string_view::npos) return std::string(kSpecialCharacter) + c;
    return {};
}

SetupFields FieldsOf(const library::Settings& settings) {
    SetupFields f;
    for (const BoxKey& box : kBoxes) f.*box.field = settings.*box.setting != 0;
    f.user = settings.user;
    f.password = settings.password;
    f.server = settings.server;
    return f;
}

SetupWritten ApplyAccount(library::Settings& settings, library::SettingsStore& store, const SetupFields& fields) {
    SetupWritten written;
    if (fields.user != settings.user && write(store, "user", fields.user, written)) settings.user = fields.user;
    // The box shows the stored digest: only a password typed into it is hashed.
    if (fields.password != settings.password) {
        const std::string digest = sync::PasswordDigest(fields.password);
        if (write(store, "password", digest, written)) settings.password = digest;
    }
    if (fields.server != settings.server) {
        const std::string server = withSlash(fields.server);
        if (write(store, "server", server, written)) settings.server = server;
    }
    return written;
}

SetupWritten ApplySetup(library::Settings& settings, library::SettingsStore& store, const SetupFields& fields) {
    SetupWritten written;
    for (const BoxKey& box : kBoxes) {
        const bool was = settings.*box.setting != 0;
        if (fields.*box.field == was) continue;
        const int value = fields.*box.field ? -1 : 0;
        if (!write(store, box.key, std::to_string(value), written)) return written;
        settings.*box.setting = value;
        if (box.setting == &library::Settings::recycle) written.recycleChanged = true;
    }
    const SetupWritten account = ApplyAccount(settings, store, fields);
    written.ok = account.ok;
    written.error = account.error;
    return written;
}

std::string registrationUrl(std::string_view server) {
    return withSlash(std::string(server)) + std::string(kRegistrationPage);
}

std::optional<std::string> RegisteredAccount(std::string_view pageText) {
    const size_t mark = pageText.find(kRegisteredMark);
    if (mark == std::string_view::npos) return std::nullopt;
    const std::string_view after = pageText.substr(mark + kRegisteredMark.size());
    const size_t name = after.find(kRegisteredName);
    if (name == std::string_view::npos) return std::nullopt;
    const std::string_view rest = after.substr(name + kRegisteredName.size());
    // The name runs to the next "<br>"; no name holds "<", so any other tag ends it too.
    const std::string_view account = rest.substr(0, rest.find('<'));
    if (text::trimBlanks(account).empty()) return std::nullopt;
    return std::string(account);
}

}  // namespace orv::setup
