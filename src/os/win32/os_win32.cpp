// Win32 only: paths and arguments go through UTF-16, so that names outside the ANSI
// code page survive.
#include "os/os.h"

#include "text/encoding.h"

#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace orv::os {
namespace {

std::wstring wideFromUtf8(std::string_view utf8) {
    const std::u16string wide = text::utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string utf8FromWide(const std::wstring& wide) {
    return text::utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(wideFromUtf8(utf8)); }

std::string utf8FromPath(const std::filesystem::path& path) { return utf8FromWide(path.wstring()); }

std::tm localTime(std::time_t when) {
    std::tm local{};
    localtime_s(&local, &when);
    return local;
}

bool isTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

std::vector<std::string> commandLineArguments(int, char**) {
    // The ANSI argv loses what the code page cannot hold; take the UTF-16 line instead.
    std::vector<std::string> args;
    int n = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
        for (int i = 1; i < n; ++i) args.push_back(utf8FromWide(wide[i]));
        LocalFree(wide);
    }
    return args;
}

}  // namespace orv::os
