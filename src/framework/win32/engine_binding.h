// The browser engine bound at run time: mb.dll from the IDE folder, every function found
// by name. A missing engine or function is never an error of the plug-in: whatever is
// absent stays null and the browser control answers with its empty result. Win32 only.
#pragma once

#include "framework/win32/wke_api.h"

#include <string>

namespace orv::framework {

struct EngineFunctions {
#define ORV_ENGINE_POINTER(ret, name, params) ret(WKE_CALL* name) params = nullptr;
    ORV_WKE_FUNCTIONS(ORV_ENGINE_POINTER)
#undef ORV_ENGINE_POINTER
#define ORV_ENGINE_REGISTRATION(name, callback) wkeRegistration<callback> name = nullptr;
    ORV_WKE_EVENTS(ORV_ENGINE_REGISTRATION)
#undef ORV_ENGINE_REGISTRATION
};

inline constexpr const wchar_t* kEngineFileName = L"mb.dll";

// Where the engine is looked for: the IDE's folder. Before the first browser control is
// made; later calls change nothing once the engine is bound.
void SetEngineFolder(const std::wstring& folder);

// The engine's functions, loaded and initialised on the first call, which must come from
// the user-interface thread (the engine serves only the thread that initialised it).
// Null when the engine could not be loaded, lacks what a view needs, or the caller is
// another thread.
const EngineFunctions* Engine();

// Why Engine() gives null, for the user; empty while it does not.
std::wstring EngineProblem();

}  // namespace orv::framework
