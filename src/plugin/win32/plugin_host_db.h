// The host database interface over the services the host exports. Win32 only.
#pragma once

#include "library/host_db.h"
#include "plugin/win32/host_services.h"

#include <map>
#include <mutex>

namespace orv::plugin {

class PluginHostDb : public library::HostDb {
public:
    // Calls through the bound services of hostServices() at the time of each call.
    PluginHostDb() = default;

    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override;
    bool findOne(int lib, std::string_view table, std::string_view where, library::Row& out,
                 std::string_view fields, std::string_view order) override;
    std::string findOnly(int lib, std::string_view table, std::string_view where,
                         std::string_view field, std::string_view order) override;
    long long count(int lib, std::string_view table, std::string_view where) override;
    long long addItem(int lib, std::string_view table, std::string_view assignments) override;
    long long addItemUtf(int lib, std::string_view table, std::string_view assignments) override;
    long long update(int lib, std::string_view table, std::string_view where,
                     std::string_view assignments) override;
    long long updateUtf(int lib, std::string_view table, std::string_view where,
                        std::string_view assignments) override;
    long long deleteItem(int lib, std::string_view table, std::string_view where) override;
    long long maxId(int lib, std::string_view table, std::string_view field,
                    std::string_view where) override;
    bool transaction(int lib, library::TransactionStep step) override;
    void vacuum(int lib) override;
    std::string errMsg(int lib) override;

private:
    // Records that a service is absent, so errMsg can say so; returns false.
    bool available(int lib, const void* service, const char* name);

    std::mutex mutex_;
    std::map<int, std::string> missing_;
};

}  // namespace orv::plugin
