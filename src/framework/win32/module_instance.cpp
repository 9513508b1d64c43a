// The window layer's own module. Win32 only.
#include "framework/win32/module_instance.h"

namespace orv::framework {

HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        // No reference is taken: code running here already keeps its module loaded.
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&ModuleInstance)), &module))
            module = GetModuleHandleW(nullptr);
        return static_cast<HINSTANCE>(module);
    }();
    return instance;
}

}  // namespace orv::framework
