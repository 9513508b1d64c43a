// orvhost.exe: a stand-in for the Orvinta IDE. It owns the IDE folder (its own folder,
// or the one given with --ide), serves the libraries there, loads OrvintaHelp.dll, calls
// its exports in the IDE's order and turns a press of the plug-in's toolbar button into
// MENUCOMMAND. Journeys are scripted on the command line and run in order once the
// plug-in is loaded:
//   --open              presses the plug-in's button (opens the help window)
//   --link LINK         sends the help window its page message asking to follow LINK
//   --source FILE       writes the HTML of the page the help window's view shows (UTF-8)
//   --screenshot FILE   saves the screen as a BMP file
//   --wait MS           lets MS milliseconds pass
// With any of the last four the host closes the help window as a user would and quits
// after the last step. Win32 only.
#include "standins/host/host_runtime.h"
#include "standins/host/plugin_export_name.h"

#include "plugin/host_abi.h"
#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace orv;
using orv::standin::hostRuntime;

namespace {

constexpr int kToolbarId = 100;
constexpr int kFirstCommandId = 1000;  // the IDE's next free command id when plug-ins load
constexpr UINT_PTR kJourneyTimer = 1;
// Time for the plug-in's window to come up before the first step.
constexpr UINT kFirstStepDelayMs = 3000;
// The help window's page message and its "follow a link" command.
constexpr UINT kPageMessage = 0x501;
constexpr WPARAM kFollowLink = 0x504;
// The help window's page view.
constexpr int kPageViewId = 122;

enum class StepKind { Link, Source, Screenshot, Wait };
struct Step {
    StepKind kind;
    std::wstring argument;
};

struct Plugin {
    HMODULE module = nullptr;
    INITIALIZATION_fn initialization = nullptr;
    MENUADD_fn menuAdd = nullptr;
    TOOLADD_fn toolAdd = nullptr;
    MENUCOMMAND_fn menuCommand = nullptr;
    ORVINTASTART_fn start = nullptr;
    ORVINTACLOSE_fn close = nullptr;
};

struct HostWindow {
    HWND frame = nullptr;
    HWND toolbar = nullptr;
    HWND log = nullptr;
    HIMAGELIST images = nullptr;
    Plugin plugin;
    std::vector<int32_t> pluginCommands;
    std::wstring logText;
    std::vector<Step> journey;
    std::size_t nextStep = 0;
};

HostWindow g_host;

void logLine(const std::wstring& line) {
    g_host.logText += line + L"\r\n";
    if (g_host.log) SetWindowTextW(g_host.log, g_host.logText.c_str());
}

template <typename Fn>
Fn exportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The toolbar button a plug-in asked for: its icon file from the IDE folder when there
// is one, its tip as the button's tooltip (or label, without an icon).
int32_t addToolButton(const standin::ToolRequest& request) {
    const std::wstring tip = text::utf8ToWide(text::gbkToUtf8(request.tip));
    const std::wstring iconPath = hostRuntime().ideFolder + text::utf8ToWide(text::gbkToUtf8(request.icon));
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON, 24, 24, LR_LOADFROMFILE));
    TBBUTTON button{};
    button.idCommand = request.commandId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | (icon ? 0 : BTNS_SHOWTEXT) | BTNS_AUTOSIZE;
    button.iBitmap = icon ? ImageList_AddIcon(g_host.images, icon) : I_IMAGENONE;
    button.iString = reinterpret_cast<INT_PTR>(tip.c_str());
    if (icon) DestroyIcon(icon);
    SendMessageW(g_host.toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageW(g_host.toolbar, TB_AUTOSIZE, 0, 0);
    g_host.pluginCommands.push_back(request.commandId);
    logLine(L"INSERTTOOL: button " + std::to_wstring(request.commandId) + L" \"" + tip + L"\"" +
            (icon ? L" with " + iconPath : L" (no icon file)"));
    return 1;
}

bool loadPlugin() {
    const std::wstring path = standin::programFolder() + L"OrvintaHelp.dll";
    Plugin& p = g_host.plugin;
    p.module = LoadLibraryW(path.c_str());
    if (!p.module) {
        logLine(L"cannot load " + path + L" (error " + std::to_wstring(GetLastError()) + L")");
        return false;
    }
    p.initialization = exportOf<INITIALIZATION_fn>(p.module, PLUGIN_EXPORT_NAME("INITIALIZATION", 8));
    p.menuAdd = exportOf<MENUADD_fn>(p.module, PLUGIN_EXPORT_NAME("MENUADD", 16));
    p.toolAdd = exportOf<TOOLADD_fn>(p.module, PLUGIN_EXPORT_NAME("TOOLADD", 4));
    p.menuCommand = exportOf<MENUCOMMAND_fn>(p.module, PLUGIN_EXPORT_NAME("MENUCOMMAND", 4));
    p.start = exportOf<ORVINTASTART_fn>(p.module, PLUGIN_EXPORT_NAME("ORVINTASTART", 8));
    p.close = exportOf<ORVINTACLOSE_fn>(p.module, PLUGIN_EXPORT_NAME("ORVINTACLOSE", 4));
    if (!p.initialization || !p.toolAdd || !p.menuCommand) {
        logLine(L"OrvintaHelp.dll lacks INITIALIZATION, TOOLADD or MENUCOMMAND");
        return false;
    }
    HostString name{}, description{};
    const int32_t result = p.initialization(&name, &description);
    logLine(L"INITIALIZATION -> " + std::to_wstring(result) + L": " +
            text::utf8ToWide(text::gbkToUtf8(std::string(name.data ? name.data : "", name.length))) + L" - " +
            text::utf8ToWide(text::gbkToUtf8(std::string(description.data ? description.data : "", description.length))));
    hostStringFree(&name);
    hostStringFree(&description);
    if (p.menuAdd)
        for (int32_t menu = 0; menu < 16; ++menu) p.menuAdd(0, menu, 0, 0);
    int32_t nextId = kFirstCommandId;
    p.toolAdd(&nextId);
    logLine(L"TOOLADD: next free command id " + std::to_wstring(nextId));
    if (p.start) {
        static HostThemeRecord codeTheme{}, windowTheme{};
        hostStringAssign(&codeTheme.name, "Default", 7);
        hostStringAssign(&windowTheme.name, "Light", 5);
        for (int i = 0; i < HOST_THEME_ENTRIES; ++i) {
            codeTheme.entries[i][0] = windowTheme.entries[i][0] = 0x00FFFFFF;
            codeTheme.entries[i][1] = windowTheme.entries[i][1] = i;
        }
        p.start(&codeTheme, &windowTheme);
    }
    return true;
}

// Saves the whole screen as a 24-bit BMP file.
bool saveScreen(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                    WriteFile(out, &header, sizeof header, &written, nullptr) &&
                    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}

HWND helpWindow() { return FindWindowW(L"OrvintaHelp", nullptr); }

BOOL CALLBACK findEngineView(HWND top, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    *reinterpret_cast<HWND*>(out) = FindWindowExW(top, nullptr, L"wkeWebWindow", nullptr);
    return *reinterpret_cast<HWND*>(out) == nullptr;
}

// The help window's page view, or else the first view of the engine in this process.
HWND pageView() {
    if (HWND help = helpWindow())
        if (HWND view = GetDlgItem(help, kPageViewId)) return view;
    HWND found = nullptr;
    EnumWindows(findEngineView, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The page source as the engine reports it. The engine is the stand-in of this
// workplace: its view window keeps its web view in the window's user data.
bool writePageSource(const std::wstring& path) {
    HWND view = pageView();
    HMODULE engine = GetModuleHandleW(L"mb.dll");
    if (!view || !engine) {
        logLine(L"--source: no page view is open");
        return false;
    }
    using GetSource = const char*(__cdecl*)(void*);
    auto getSource = reinterpret_cast<GetSource>(reinterpret_cast<void*>(GetProcAddress(engine, "wkeGetSource")));
    void* webView = reinterpret_cast<void*>(GetWindowLongPtrW(view, GWLP_USERDATA));
    const char* source = getSource && webView ? getSource(webView) : nullptr;
    const std::string html = source ? source : "";
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, html.data(), static_cast<DWORD>(html.size()), &written, nullptr) &&
                    written == html.size();
    CloseHandle(out);
    return ok;
}

void finishJourney(HWND frame) {
    // The help window belongs to the plug-in: close it as the user would, then quit.
    if (HWND help = helpWindow()) SendMessageW(help, WM_CLOSE, 0, 0);
    DestroyWindow(frame);
}

void runNextStep(HWND frame) {
    if (g_host.nextStep >= g_host.journey.size()) {
        finishJourney(frame);
        return;
    }
    const Step& step = g_host.journey[g_host.nextStep++];
    UINT delay = 0;
    switch (step.kind) {
    case StepKind::Link: {
        const std::string link = text::wideToUtf8(step.argument);
        if (HWND help = helpWindow()) SendMessageW(help, kPageMessage, kFollowLink, reinterpret_cast<LPARAM>(link.c_str()));
        else logLine(L"--link: the help window is not open");
        logLine(L"--link " + step.argument);
        break;
    }
    case StepKind::Source:
        if (!writePageSource(step.argument)) logLine(L"cannot write " + step.argument);
        break;
    case StepKind::Screenshot:
        if (!saveScreen(step.argument)) logLine(L"cannot write " + step.argument);
        break;
    case StepKind::Wait:
        delay = static_cast<UINT>(std::wcstoul(step.argument.c_str(), nullptr, 10));
        break;
    }
    SetTimer(frame, kJourneyTimer, delay > 0 ? delay : 1, nullptr);
}

void layout(HWND hwnd) {
    RECT client, bar;
    GetClientRect(hwnd, &client);
    SendMessageW(g_host.toolbar, TB_AUTOSIZE, 0, 0);
    GetWindowRect(g_host.toolbar, &bar);
    const int top = bar.bottom - bar.top;
    MoveWindow(g_host.log, 0, top, client.right, client.bottom - top, TRUE);
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        layout(hwnd);
        return 0;
    case WM_COMMAND: {
        const int32_t id = LOWORD(wParam);
        for (int32_t command : g_host.pluginCommands) {
            if (command == id && g_host.plugin.menuCommand) {
                const int32_t handled = g_host.plugin.menuCommand(id);
                logLine(L"MENUCOMMAND(" + std::to_wstring(id) + L") -> " + std::to_wstring(handled));
                return 0;
            }
        }
        break;
    }
    case WM_TIMER:
        if (wParam == kJourneyTimer) {
            KillTimer(hwnd, kJourneyTimer);
            runNextStep(hwnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool createFrame(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"OrvhostFrame";
    if (!RegisterClassExW(&wc)) return false;
    g_host.frame = CreateWindowExW(0, wc.lpszClassName, L"Orvinta IDE (stand-in)", WS_OVERLAPPEDWINDOW,
                                   40, 40, 720, 360, nullptr, nullptr, instance, nullptr);
    if (!g_host.frame) return false;
    g_host.toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                     WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST,
                                     0, 0, 0, 0, g_host.frame, reinterpret_cast<HMENU>(kToolbarId), instance, nullptr);
    SendMessageW(g_host.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(g_host.toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    g_host.images = ImageList_Create(24, 24, ILC_COLOR32 | ILC_MASK, 4, 4);
    SendMessageW(g_host.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_host.images));
    g_host.log = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                                 g_host.frame, nullptr, instance, nullptr);
    SetWindowTextW(g_host.log, g_host.logText.c_str());
    return true;
}

std::wstring readCommandLine(bool& openAtStart, std::vector<Step>& journey) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring folder = standin::programFolder();
    for (int i = 1; argv && i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::wcscmp(argv[i], L"--open") == 0) openAtStart = true;
        else if (std::wcscmp(argv[i], L"--ide") == 0 && hasValue) folder = argv[++i];
        else if (std::wcscmp(argv[i], L"--link") == 0 && hasValue) journey.push_back({StepKind::Link, argv[++i]});
        else if (std::wcscmp(argv[i], L"--source") == 0 && hasValue) journey.push_back({StepKind::Source, argv[++i]});
        else if (std::wcscmp(argv[i], L"--screenshot") == 0 && hasValue)
            journey.push_back({StepKind::Screenshot, argv[++i]});
        else if (std::wcscmp(argv[i], L"--wait") == 0 && hasValue) journey.push_back({StepKind::Wait, argv[++i]});
    }
    LocalFree(argv);
    return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    bool openAtStart = false;
    const std::wstring ideFolder = readCommandLine(openAtStart, g_host.journey);

    std::string error;
    if (!standin::openHostLibraries(ideFolder, error))
        MessageBoxW(nullptr, text::utf8ToWide("Some libraries are not available:\r\n" + error).c_str(), L"orvhost", MB_ICONERROR);
    logLine(L"IDE folder " + hostRuntime().ideFolder);
    hostRuntime().insertTool = addToolButton;

    if (!createFrame(instance)) return 1;
    loadPlugin();
    ShowWindow(g_host.frame, show);
    UpdateWindow(g_host.frame);
    layout(g_host.frame);
    if (openAtStart && !g_host.pluginCommands.empty())
        PostMessageW(g_host.frame, WM_COMMAND, MAKEWPARAM(g_host.pluginCommands.front(), 0), 0);
    if (!g_host.journey.empty()) SetTimer(g_host.frame, kJourneyTimer, kFirstStepDelayMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_host.plugin.close) g_host.plugin.close(0);
    return 0;
}
