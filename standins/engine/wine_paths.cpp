// Win32 only: path mapping through Wine's own kernel32 extensions, found at run time so
// that the same DLL works on Windows.
#include "wine_paths.h"

#include "text/ascii.h"
#include "text/win32/wide_text.h"

#include <windows.h>

namespace orv::mb {
namespace {

using UnixFileName = char*(CDECL*)(LPCWSTR);
using DosFileName = WCHAR*(CDECL*)(LPCSTR);

constexpr const char* kFileScheme = "file://";

UnixFileName wineUnixFileName() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                  : nullptr;
}

DosFileName wineDosFileName() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<DosFileName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
                  : nullptr;
}

// "file://" + path, and the query or fragment that follows the path.
bool splitFileUrl(const std::string& url, std::string& path, std::string& suffix) {
    if (url.compare(0, 7, kFileScheme) != 0) return false;
    const std::size_t end = url.find_first_of("?#", 7);
    path = text::percentDecoded(url.substr(7, end == std::string::npos ? std::string::npos : end - 7));
    suffix = end == std::string::npos ? std::string() : url.substr(end);
    return true;
}

}  // namespace

bool runningUnderWine() { return wineUnixFileName() != nullptr; }

std::string hostPathOf(const std::wstring& windowsPath) {
    if (UnixFileName convert = wineUnixFileName()) {
        char* unixPath = convert(windowsPath.c_str());
        if (!unixPath) return {};
        std::string result(unixPath);
        HeapFree(GetProcessHeap(), 0, unixPath);
        return result;
    }
    std::string path = text::wideToUtf8(windowsPath);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string fileUrlOfHostPath(const std::string& hostPath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    if (hostPath.empty() || hostPath[0] != '/') url += '/';  // C:/... on Windows
    for (const char c : hostPath) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                           c == '-' || c == '_' || c == '.' || c == '~' || c == '/' || c == ':';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

std::string reportedUrl(const std::string& url) {
    DosFileName convert = wineDosFileName();
    std::string path, suffix;
    if (!convert || !splitFileUrl(url, path, suffix) || path.empty() || path[0] != '/') return url;
    WCHAR* dosPath = convert(path.c_str());
    if (!dosPath) return url;
    std::string windowsPath = text::wideToUtf8(dosPath);
    HeapFree(GetProcessHeap(), 0, dosPath);
    for (char& c : windowsPath)
        if (c == '\\') c = '/';
    return fileUrlOfHostPath(windowsPath) + suffix;
}

std::string browserUrl(const std::string& url) {
    std::string path, suffix;
    if (!runningUnderWine() || !splitFileUrl(url, path, suffix)) return url;
    // "/C:/ide/page.htm": a Windows path behind the address's slash.
    if (path.size() < 3 || path[0] != '/' || path[2] != ':') return url;
    const std::string hostPath = hostPathOf(text::utf8ToWide(path.substr(1)));
    return hostPath.empty() ? url : fileUrlOfHostPath(hostPath) + suffix;
}

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace orv::mb
