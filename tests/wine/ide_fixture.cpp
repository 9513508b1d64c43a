// Sets up the IDE the Wine tests play, once for the whole run.
#include "wine/ide_fixture.h"

#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv::wine {
namespace {

std::wstring g_ide;

class IdeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        g_ide = std::wstring(temp) + L"orvide-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(g_ide.c_str(), nullptr);
        std::string error;
        ASSERT_TRUE(standin::openHostLibraries(g_ide, error)) << error;
        standin::hostRuntime().insertTool = [](const standin::ToolRequest& r) {
            toolRequests().push_back(r);
            return 1;
        };
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(g_ide), ignored);
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new IdeEnvironment);

}  // namespace

const std::wstring& ideFolder() { return g_ide; }

std::string ideFolderUtf8() { return text::wideToUtf8(g_ide); }

std::wstring programDir() { return standin::programFolder(); }

std::vector<standin::ToolRequest>& toolRequests() {
    static std::vector<standin::ToolRequest> requests;
    return requests;
}

void writeIdeFile(const std::wstring& relative, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(g_ide + relative), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readIdeFile(const std::wstring& relative) {
    std::ifstream in(std::filesystem::path(g_ide + relative), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void deleteIdeFile(const std::wstring& relative) { DeleteFileW((g_ide + relative).c_str()); }

void pumpMessages(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() < end);
}

namespace {

struct WindowSearch {
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    wchar_t cls[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && GetClassNameW(hwnd, cls, 64) && wcscmp(cls, search->className) == 0)
        search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> windowsOfClass(const wchar_t* className) {
    WindowSearch search{className, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace orv::wine
