// The IDE stand-in's state behind its exported services: the IDE folder, the libraries
// over SQLite, and what happens when a plug-in asks for a toolbar button. Win32 only.
#pragma once

#include "library/sqlite_host_db.h"
#include "plugin/host_abi.h"

#include <functional>
#include <string>

namespace orv::standin {

struct ToolRequest {
    int32_t args[3];
    int32_t commandId;
    int32_t zero;
    std::string tip;   // as the plug-in sent it (GBK)
    std::string icon;  // as the plug-in sent it (GBK)
};

struct HostRuntime {
    library::SqliteHostDb db;
    std::wstring ideFolder;  // ends with a backslash
    HostAppRecord app{};
    // Called by INSERTTOOL; returns the host's result for it.
    std::function<int32_t(const ToolRequest&)> insertTool;
};

HostRuntime& hostRuntime();

// The folder of the running program, with a trailing backslash.
std::wstring programFolder();

// Makes `ideFolder` the IDE folder: creates Settings\ and Private\ when missing and opens
// (creating when missing) the public and private libraries, and an in-memory library 2.
// A library that cannot be opened stays unavailable; `error` then lists why.
bool openHostLibraries(const std::wstring& ideFolder, std::string& error);

}  // namespace orv::standin
