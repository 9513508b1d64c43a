// Marshalling host database requests across the plug-in boundary. Win32 only.
#include "plugin/win32/plugin_host_db.h"

#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <algorithm>

namespace orv::plugin {
namespace {

// UTF-16 text for a W argument, alive for the duration of the call.
// An S argument the plug-in owns; freed when the call is over.
class OwnedString {
public:
    explicit OwnedString(std::string_view bytes = {}) {
        if (!bytes.empty()) hostStringAssign(&s_, bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    ~OwnedString() { hostStringFree(&s_); }
    OwnedString(const OwnedString&) = delete;
    OwnedString& operator=(const OwnedString&) = delete;
    HostString* get() { return &s_; }
    std::string str() const { return s_.data ? std::string(s_.data, static_cast<size_t>(s_.length)) : std::string(); }

private:
    HostString s_{};
};

// A table the host fills; released when the call is over.
class OwnedTable {
public:
    OwnedTable() = default;
    ~OwnedTable() { hostTableFree(&t_); }
    OwnedTable(const OwnedTable&) = delete;
    OwnedTable& operator=(const OwnedTable&) = delete;
    HostTable* get() { return &t_; }
    std::string cell(int32_t row, int32_t column) const {
        if (!t_.cells || row < 0 || row >= t_.rows || column < 0 || column >= t_.columns) return {};
        const HostString& s = t_.cells[row * t_.columns + column];
        return s.data ? std::string(s.data, static_cast<size_t>(s.length)) : std::string();
    }
    int32_t rows() const { return t_.cells ? t_.rows : 0; }
    int32_t columns() const { return t_.cells ? t_.columns : 0; }

private:
    HostTable t_{};
};

}  // namespace

bool PluginHostDb::available(int lib, const void* service, const char* name) {
    std::lock_guard lock(mutex_);
    if (service) {
        missing_.erase(lib);
        return true;
    }
    missing_[lib] = std::string("the IDE does not provide the service ") + name;
    return false;
}

int PluginHostDb::find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
                       std::string_view fields, std::string_view order, int limit) {
    out.columns.clear();
    out.rows.clear();
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.find), "SQLITEBOX_FIND")) return 0;
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where), f = text::utf8ToWide(fields), o = text::utf8ToWide(order);
    OwnedTable result;
    const int32_t n = s.find(lib, t.c_str(), w.c_str(), result.get(), f.c_str(), o.c_str(), 1, limit);
    // Trust the table's own shape over the count: never read past what the host filled.
    const int32_t rows = std::min<int32_t>(n, result.rows() - 1);
    for (int32_t c = 0; c < result.columns(); ++c) out.columns.push_back(result.cell(0, c));
    for (int32_t r = 1; r <= rows; ++r) {
        library::Row row;
        for (int32_t c = 0; c < result.columns(); ++c) row.push_back(result.cell(r, c));
        out.rows.push_back(std::move(row));
    }
    return out.count();
}

bool PluginHostDb::findOne(int lib, std::string_view table, std::string_view where, library::Row& out,
                           std::string_view fields, std::string_view order) {
    out.clear();
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.findOne), "SQLITEBOX_FINDONE")) return false;
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where), f = text::utf8ToWide(fields), o = text::utf8ToWide(order);
    OwnedTable row;
    if (!s.findOne(lib, t.c_str(), w.c_str(), row.get(), f.c_str(), o.c_str())) return false;
    for (int32_t c = 0; c < row.columns(); ++c) out.push_back(row.cell(0, c));
    return true;
}

std::string PluginHostDb::findOnly(int lib, std::string_view table, std::string_view where,
                                   std::string_view field, std::string_view order) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.findOnly), "SQLITEBOX_FINDONLY")) return {};
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where), f = text::utf8ToWide(field), o = text::utf8ToWide(order);
    OwnedString value;
    s.findOnly(lib, t.c_str(), w.c_str(), f.c_str(), o.c_str(), value.get());
    return value.str();
}

long long PluginHostDb::count(int lib, std::string_view table, std::string_view where) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.count), "SQLITEBOX_COUNT")) return 0;
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where);
    return s.count(lib, t.c_str(), w.c_str());
}

long long PluginHostDb::addItem(int lib, std::string_view table, std::string_view assignments) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.addItem), "SQLITEBOX_ADDITEM")) return 0;
    const std::wstring t = text::utf8ToWide(table), a = text::utf8ToWide(assignments);
    return s.addItem(lib, t.c_str(), a.c_str());
}

long long PluginHostDb::addItemUtf(int lib, std::string_view table, std::string_view assignments) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.addItemUtf), "SQLITEBOX_ADDITEMUTF")) return 0;
    OwnedString t(table), a(assignments);
    return s.addItemUtf(lib, t.get(), a.get());
}

long long PluginHostDb::update(int lib, std::string_view table, std::string_view where,
                               std::string_view assignments) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.update), "SQLITEBOX_UPDATE")) return -1;
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where), a = text::utf8ToWide(assignments);
    return s.update(lib, t.c_str(), w.c_str(), a.c_str());
}

long long PluginHostDb::updateUtf(int lib, std::string_view table, std::string_view where,
                                  std::string_view assignments) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.updateUtf), "SQLITEBOX_UPDATEUTF")) return -1;
    OwnedString t(table), w(where), a(assignments);
    return s.updateUtf(lib, t.get(), w.get(), a.get());
}

long long PluginHostDb::deleteItem(int lib, std::string_view table, std::string_view where) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.deleteItem), "SQLITEBOX_DELETEITEM")) return -1;
    const std::wstring t = text::utf8ToWide(table), w = text::utf8ToWide(where);
    return s.deleteItem(lib, t.c_str(), w.c_str());
}

long long PluginHostDb::maxId(int lib, std::string_view table, std::string_view field, std::string_view where) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.maxId), "SQLITEBOX_MAXID")) return 0;
    const std::wstring t = text::utf8ToWide(table), f = text::utf8ToWide(field), w = text::utf8ToWide(where);
    return s.maxId(lib, t.c_str(), f.c_str(), w.c_str());
}

bool PluginHostDb::transaction(int lib, library::TransactionStep step) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.transaction), "SQLITEBOX_TRANSACTION")) return false;
    // The service answers nothing: a commit the host could not make shows up only in
    // its error text, which the caller reads when a later step fails.
    s.transaction(lib, static_cast<int32_t>(step));
    return true;
}

void PluginHostDb::vacuum(int lib) {
    const HostServices& s = hostServices();
    if (!available(lib, reinterpret_cast<const void*>(s.vacuum), "SQLITEBOX_VACUUM")) return;
    s.vacuum(lib);
}

std::string PluginHostDb::errMsg(int lib) {
    {
        std::lock_guard lock(mutex_);
        auto it = missing_.find(lib);
        if (it != missing_.end()) return it->second;
    }
    const HostServices& s = hostServices();
    if (!s.errMsg) return "the IDE does not provide the service SQLITEBOX_ERRMSG";
    OwnedString text;
    s.errMsg(lib, text.get());
    return text.str();
}

}  // namespace orv::plugin
