// Win32 only: paths and arguments go through UTF-16, so that names outside the ANSI
// code page survive.
#include "os/os.h"

#include "text/win32/wide_text.h"

#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace orv::os {

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(text::utf8ToWide(utf8)); }

std::string utf8FromPath(const std::filesystem::path& path) { return text::wideToUtf8(path.wstring()); }

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
        for (int i = 1; i < n; ++i) args.push_back(text::wideToUtf8(wide[i]));
        LocalFree(wide);
    }
    return args;
}

}  // namespace orv::os
