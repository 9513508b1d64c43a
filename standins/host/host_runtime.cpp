// The IDE stand-in's folder and libraries. Win32 only.
#include "standins/host/host_runtime.h"

#include "library/schema.h"
#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <windows.h>

namespace orv::standin {

HostRuntime& hostRuntime() {
    static HostRuntime runtime;
    return runtime;
}

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool openHostLibraries(const std::wstring& ideFolder, std::string& error) {
    HostRuntime& rt = hostRuntime();
    rt.ideFolder = ideFolder;
    if (rt.ideFolder.empty() || (rt.ideFolder.back() != L'\\' && rt.ideFolder.back() != L'/')) rt.ideFolder += L'\\';
    rt.app.ideFolder = rt.ideFolder.c_str();

    const std::string folder = text::wideToUtf8(rt.ideFolder);
    bool ok = true;
    const struct { int lib; std::wstring dir; std::string_view file; } libs[] = {
        {library::kPublic, L"Settings", library::kPublicFile},
        {library::kPrivate, L"Private", library::kPrivateFile},
    };
    for (const auto& l : libs) {
        CreateDirectoryW((rt.ideFolder + l.dir).c_str(), nullptr);
        std::string why;
        if (!rt.db.open(l.lib, folder + std::string(l.file), library::OpenMode::CreateMissing, why)) {
            error += why + "\r\n";
            ok = false;
        }
    }
    std::string why;
    if (!rt.db.openInMemory(library::kProject, library::kPrivate, why)) {
        error += why + "\r\n";
        ok = false;
    }
    return ok;
}

}  // namespace orv::standin
