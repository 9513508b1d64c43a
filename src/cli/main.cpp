// orvhelp: the command-line face of the help library's core.
#include "cli/commands.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "text/encoding.h"
#include <windows.h>
#include <shellapi.h>
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    // The ANSI argv loses what the code page cannot hold; take the UTF-16 line instead.
    int n = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
        for (int i = 1; i < n; ++i) {
            const std::wstring w(wide[i]);
            args.push_back(orv::text::utf16ToUtf8(std::u16string(w.begin(), w.end())));
        }
        LocalFree(wide);
    }
#else
    args.assign(argv + 1, argv + argc);
#endif
    return orv::cli::run(args, std::cout, std::cerr);
}
