// The host's services as the plug-in found them in the host's main module. Win32 only.
#pragma once

#include "plugin/host_abi.h"

#include <string>

namespace orv::plugin {

struct HostServices {
    GETEXEAPP_fn getExeApp = nullptr;
    INSERTTOOL_fn insertTool = nullptr;
    SQLITEBOX_FIND_fn find = nullptr;
    SQLITEBOX_FINDONE_fn findOne = nullptr;
    SQLITEBOX_FINDONLY_fn findOnly = nullptr;
    SQLITEBOX_COUNT_fn count = nullptr;
    SQLITEBOX_ADDITEM_fn addItem = nullptr;
    SQLITEBOX_ADDITEMUTF_fn addItemUtf = nullptr;
    SQLITEBOX_UPDATE_fn update = nullptr;
    SQLITEBOX_UPDATEUTF_fn updateUtf = nullptr;
    SQLITEBOX_DELETEITEM_fn deleteItem = nullptr;
    SQLITEBOX_MAXID_fn maxId = nullptr;
    SQLITEBOX_TRANSACTION_fn transaction = nullptr;
    SQLITEBOX_VACUUM_fn vacuum = nullptr;
    SQLITEBOX_ERRMSG_fn errMsg = nullptr;
    // Bound but not called: kept so that the binding is complete and can be checked.
    void* uncalled[29] = {};
};

// The table filled by the last resolveHostServices (all empty before the first).
const HostServices& hostServices();

// Binds every service from the process's main module, replacing the previous binding.
// Returns the number of called services that were found.
int resolveHostServices();
// The same from another module (a handle); for a host that is not the main module.
int resolveHostServicesFrom(void* module);

// The IDE folder from the host's application record, ending in a backslash; "" when
// the host does not provide it.
std::string hostIdeFolder();

}  // namespace orv::plugin
