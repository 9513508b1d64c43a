// Loading the engine and resolving its functions by name. Win32 only.
#include "framework/win32/engine_binding.h"

namespace orv::framework {
namespace {

struct Binding {
    std::wstring folder;
    HMODULE module = nullptr;
    DWORD thread = 0;
    EngineFunctions functions;
    std::wstring problem;
};

Binding& binding() {
    static Binding b;
    return b;
}

std::wstring hostProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

template <typename Pointer>
void resolve(HMODULE module, Pointer& into, const char* name) {
    into = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void resolveAll(HMODULE module, EngineFunctions& f) {
#define ORV_RESOLVE_FUNCTION(ret, name, params) resolve(module, f.name, #name);
    ORV_WKE_FUNCTIONS(ORV_RESOLVE_FUNCTION)
#undef ORV_RESOLVE_FUNCTION
#define ORV_RESOLVE_EVENT(name, callback) resolve(module, f.name, #name);
    ORV_WKE_EVENTS(ORV_RESOLVE_EVENT)
#undef ORV_RESOLVE_EVENT
}

}  // namespace

void SetEngineFolder(const std::wstring& folder) {
    Binding& b = binding();
    if (!b.module) b.folder = folder;
}

const EngineFunctions* Engine() {
    Binding& b = binding();
    if (b.module) return GetCurrentThreadId() == b.thread ? &b.functions : nullptr;

    std::wstring folder = b.folder.empty() ? hostProgramFolder() : b.folder;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    const std::wstring path = folder + kEngineFileName;
    // A later control tries again: the user may have put the engine in place meanwhile.
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        b.problem = L"找不到浏览器引擎 " + path + L"，网页无法显示。";
        return nullptr;
    }
    EngineFunctions functions;
    resolveAll(module, functions);
    if (!functions.wkeInitialize || !functions.wkeCreateWebWindow || !functions.wkeGetHostHWND) {
        FreeLibrary(module);
        b.problem = L"浏览器引擎 " + path + L" 缺少创建网页视图所需的函数，网页无法显示。";
        return nullptr;
    }
    functions.wkeInitialize();
    b.module = module;
    b.thread = GetCurrentThreadId();
    b.functions = functions;
    b.problem.clear();
    return &b.functions;
}

std::wstring EngineProblem() { return binding().problem; }

}  // namespace orv::framework
