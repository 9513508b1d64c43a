// OrvintaHelp.dll as the IDE sees it: its export table, version, and what each export
// does when the IDE calls it.
#include "plugin/host_abi.h"
#include "standins/host/plugin_export_name.h"
#include "text/encoding.h"
#include "wine/ide_fixture.h"
#include "wine/message_boxes.h"
#include "text/win32/wide_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <set>

using namespace orv;
using namespace orv::wine;

namespace {

template <typename Fn>
Fn exportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The plug-in's exports, looked up by the names the IDE uses.
struct Exports {
    explicit Exports(HMODULE m)
        : initialization(exportOf<INITIALIZATION_fn>(m, PLUGIN_EXPORT_NAME("INITIALIZATION", 8))),
          toolAdd(exportOf<TOOLADD_fn>(m, PLUGIN_EXPORT_NAME("TOOLADD", 4))),
          menuCommand(exportOf<MENUCOMMAND_fn>(m, PLUGIN_EXPORT_NAME("MENUCOMMAND", 4))) {}
    INITIALIZATION_fn initialization;
    TOOLADD_fn toolAdd;
    MENUCOMMAND_fn menuCommand;
};

std::wstring dllPath() { return programDir() + L"OrvintaHelp.dll"; }

std::vector<std::string> exportNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> out;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) out.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    return out;
}


std::string captionOf(HWND hwnd) {
    wchar_t buf[256];
    GetWindowTextW(hwnd, buf, 256);
    return text::wideToUtf8(buf);
}

void closeAll() {
    for (HWND w : windowsOfClass(L"OrvintaHelp")) SendMessageW(w, WM_CLOSE, 0, 0);
    pumpMessages(50);
}

class PluginDll : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryW(dllPath().c_str());
        ASSERT_NE(module, nullptr) << "cannot load OrvintaHelp.dll";
        HostString name{}, description{};
        Exports(module).initialization(&name, &description);
        hostStringFree(&name);
        hostStringFree(&description);
        toolRequests().clear();
        int32_t next = 1000;
        Exports(module).toolAdd(&next);
    }
    void TearDown() override { closeAll(); }
    static HMODULE module;
};
HMODULE PluginDll::module = nullptr;

}  // namespace

TEST(PluginExports, ExactlyTheElevenExportNamesAndTheVersion) {
    HMODULE m = LoadLibraryW(dllPath().c_str());
    ASSERT_NE(m, nullptr);
    const std::vector<std::string> names = exportNames(m);
    const std::set<std::string> expected{
        PLUGIN_EXPORT_NAME("INITIALIZATION", 8), PLUGIN_EXPORT_NAME("MENUADD", 16),
        PLUGIN_EXPORT_NAME("TOOLADD", 4),        PLUGIN_EXPORT_NAME("MENUCOMMAND", 4),
        PLUGIN_EXPORT_NAME("ORVINTASTART", 8),   PLUGIN_EXPORT_NAME("ORVINTACLOSE", 4),
        PLUGIN_EXPORT_NAME("CODEATTEMPTAUTOINSERT", 4), PLUGIN_EXPORT_NAME("COMPILESTART", 8),
        PLUGIN_EXPORT_NAME("COMPILEEND", 8),     PLUGIN_EXPORT_NAME("WINTHEMECHANGE", 4),
        PLUGIN_EXPORT_NAME("CODETHEMECHANGE", 4)};
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(names.size(), expected.size());
    for (const std::string& name : expected) EXPECT_NE(GetProcAddress(m, name.c_str()), nullptr) << name;
    FreeLibrary(m);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(dllPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(dllPath().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, (7u << 16) | 1609u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST(PluginExports, BeforeToolAddTheBaseIdIsZero) {
    // A copy under another name is a separate module with state of its own.
    const std::wstring copy = programDir() + L"OrvintaHelpFresh.dll";
    ASSERT_TRUE(CopyFileW(dllPath().c_str(), copy.c_str(), FALSE));
    HMODULE m = LoadLibraryW(copy.c_str());
    ASSERT_NE(m, nullptr);
    const Exports fresh(m);
    EXPECT_EQ(fresh.menuCommand(5), 0);
    EXPECT_TRUE(windowsOfClass(L"OrvintaHelp").empty());
    {
        // Without INITIALIZATION the module has no host services: the window opens and
        // says that it cannot reach the libraries.
        MessageBoxWatcher boxes;
        EXPECT_EQ(fresh.menuCommand(0), 1);
        pumpMessages(300);
        EXPECT_EQ(windowsOfClass(L"OrvintaHelp").size(), 1u);
        const std::vector<SeenBox> seen = boxes.take();
        ASSERT_FALSE(seen.empty());
        EXPECT_NE(seen.front().text.find("SQLITEBOX_"), std::string::npos) << seen.front().text;
    }
    closeAll();
    EXPECT_TRUE(windowsOfClass(L"OrvintaHelp").empty());
    FreeLibrary(m);
    DeleteFileW(copy.c_str());
}

TEST_F(PluginDll, InitializationNamesTheModuleEveryTime) {
    for (int call = 0; call < 2; ++call) {
        HostString name{}, description{};
        hostStringAssign(&name, "x", 1);  // an existing, too small string is replaced
        EXPECT_EQ(Exports(module).initialization(&name, &description), 3);
        EXPECT_EQ(std::string(name.data, name.length), "OrvintaHelp");
        EXPECT_EQ(std::string(description.data, description.length), text::utf8ToGbk("Orvinta的帮助系统"));
        EXPECT_EQ(name.data[name.length], '\0');
        hostStringFree(&name);
        hostStringFree(&description);
    }
}

TEST_F(PluginDll, ToolAddAdvancesTheCounterByTwoAndPlacesOneButton) {
    // SetUpTestSuite called TOOLADD with 1000.
    ASSERT_EQ(toolRequests().size(), 1u);
    const standin::ToolRequest& r = toolRequests().front();
    EXPECT_EQ(r.args[0], 39);
    EXPECT_EQ(r.args[1], 58889);
    EXPECT_EQ(r.args[2], 8421376);
    EXPECT_EQ(r.commandId, 1000);
    EXPECT_EQ(r.zero, 0);
    EXPECT_EQ(r.tip, text::utf8ToGbk("Orvinta 帮助文档"));
    EXPECT_EQ(r.icon, "help.ico");
    int32_t next = 1000;
    Exports(module).toolAdd(&next);
    EXPECT_EQ(next, 1002);
    Exports(module).toolAdd(nullptr);  // nothing to read: nothing happens
    EXPECT_EQ(toolRequests().size(), 2u);
}

TEST_F(PluginDll, MenuCommandOpensOneWindowAndIgnoresForeignIds) {
    const Exports plugin(module);
    for (int32_t foreign : {999, 1002, 0, -1, 1003}) {
        EXPECT_EQ(plugin.menuCommand(foreign), 0) << foreign;
    }
    pumpMessages(50);
    EXPECT_TRUE(windowsOfClass(L"OrvintaHelp").empty());

    EXPECT_EQ(plugin.menuCommand(1000), 1);
    pumpMessages(150);
    std::vector<HWND> windows = windowsOfClass(L"OrvintaHelp");
    ASSERT_EQ(windows.size(), 1u);
    HWND help = windows.front();
    EXPECT_EQ(captionOf(help), "Orvinta 编程帮助文档 2.0.7");
    EXPECT_EQ(GetWindow(help, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(help));

    // The second id opens the same window; a minimised window comes back.
    ShowWindow(help, SW_MINIMIZE);
    EXPECT_EQ(plugin.menuCommand(1001), 1);
    EXPECT_EQ(plugin.menuCommand(1000), 1);
    pumpMessages(150);
    EXPECT_EQ(windowsOfClass(L"OrvintaHelp").size(), 1u);
    EXPECT_FALSE(IsIconic(help));
}

TEST_F(PluginDll, PlacementComesFromTheSettingsAndIsSavedOnClose) {
    writeIdeFile(L"Settings\\orv.ini",
                 "[orvHelp]\r\nLeft=30\r\nTop=40\r\nRight=630\r\nBottom=540\r\nTopMost=-1\r\nshowCmd=1\r\n");
    ASSERT_EQ(Exports(module).menuCommand(1000), 1);
    pumpMessages(100);
    HWND help = windowsOfClass(L"OrvintaHelp").at(0);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(help, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 30);
    EXPECT_EQ(wp.rcNormalPosition.right, 630);
    EXPECT_TRUE(GetWindowLongW(help, GWL_EXSTYLE) & WS_EX_TOPMOST);
    MoveWindow(help, 50, 60, 700, 500, TRUE);
    closeAll();
    const std::string saved = readIdeFile(L"Settings\\orv.ini");
    EXPECT_NE(saved.find("Left=50"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Right=750"), std::string::npos) << saved;
    EXPECT_NE(saved.find("TopMost=-1"), std::string::npos) << saved;

    // Right 0: the window opens 750 wide.
    writeIdeFile(L"Settings\\orv.ini", "[orvHelp]\r\nLeft=0\r\nTop=0\r\nRight=0\r\nBottom=0\r\n");
    ASSERT_EQ(Exports(module).menuCommand(1000), 1);
    pumpMessages(100);
    RECT r{};
    GetWindowRect(windowsOfClass(L"OrvintaHelp").at(0), &r);
    EXPECT_EQ(r.right - r.left, 750);
    EXPECT_EQ(r.bottom - r.top, 450);
    deleteIdeFile(L"Settings\\orv.ini");
}

// The IDE may give its reference back while the help window is open: the window goes on
// working, for the module stays loaded while a window of it lives, and once the last one
// has gone the module goes too.
TEST(PluginExports, TheModuleOutlivesTheIdesReferenceWhileItsWindowLives) {
    const std::wstring copy = programDir() + L"OrvintaHelpHeld.dll";
    ASSERT_TRUE(CopyFileW(dllPath().c_str(), copy.c_str(), FALSE));
    HMODULE m = LoadLibraryW(copy.c_str());
    ASSERT_NE(m, nullptr);
    const Exports held(m);
    HostString name{}, description{};
    held.initialization(&name, &description);
    hostStringFree(&name);
    hostStringFree(&description);
    int32_t next = 3000;
    held.toolAdd(&next);
    ASSERT_EQ(held.menuCommand(3000), 1);
    pumpMessages(200);
    std::vector<HWND> windows = windowsOfClass(L"OrvintaHelp");
    ASSERT_EQ(windows.size(), 1u);
    HWND help = windows.front();

    FreeLibrary(m);  // the IDE's own reference
    pumpMessages(200);
    EXPECT_NE(GetModuleHandleW(copy.c_str()), nullptr) << "unloaded under its open window";
    ASSERT_TRUE(IsWindow(help));
    // The window still answers and works: a tab clicked, the page message followed.
    HWND tabs = GetDlgItem(help, 102);
    ASSERT_NE(tabs, nullptr);
    NMHDR change{tabs, 102, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    SendMessageW(help, WM_NOTIFY, 102, reinterpret_cast<LPARAM>(&change));
    const char link[] = "tPRINT";
    SendMessageW(help, 0x501, 0x504, reinterpret_cast<LPARAM>(link));
    pumpMessages(300);
    EXPECT_TRUE(IsWindow(help));

    SendMessageW(help, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(help));
    bool unloaded = false;
    for (int i = 0; i < 100 && !unloaded; ++i) {
        pumpMessages(50);
        unloaded = GetModuleHandleW(copy.c_str()) == nullptr;
    }
    EXPECT_TRUE(unloaded) << "the last window went and the module stayed";
    DeleteFileW(copy.c_str());
}
