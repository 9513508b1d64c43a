// Compile-time checks of the engine's binary interface as wke_api.h declares it: every
// function the browser control binds, every registration and every callback is cdecl, and
// every struct that passes between the plug-in and the engine has the engine's layout.
// Nothing here runs. Win32 only.
#include "framework/win32/calling_convention.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/wke_api.h"

#include <cstddef>
#include <type_traits>

namespace orv::framework {
namespace {

using abi::ArgumentOf;
using abi::kIsCdecl;

static_assert(kIsCdecl<void(WKE_CALL*)()>, "WKE_CALL must name cdecl, the convention of every engine function");

// The functions the browser control resolves, with exactly the signatures of the list.
#define ORV_CHECK_ENGINE_FUNCTION(ret, name, params)                                          \
    static_assert(kIsCdecl<decltype(EngineFunctions::name)>, #name " must be cdecl");         \
    static_assert(std::is_same_v<decltype(EngineFunctions::name), ret(WKE_CALL*) params>,     \
                  #name " must have the signature of the engine's list");
ORV_WKE_FUNCTIONS(ORV_CHECK_ENGINE_FUNCTION)
#undef ORV_CHECK_ENGINE_FUNCTION

// Each registration takes (view, callback, param), and the engine hands the view and that
// param back as the callback's first two arguments.
#define ORV_CHECK_ENGINE_EVENT(name, Callback)                                                     \
    static_assert(kIsCdecl<decltype(EngineFunctions::name)>, #name " must be cdecl");              \
    static_assert(std::is_same_v<decltype(EngineFunctions::name), wkeRegistration<Callback>>,      \
                  #name " must take a " #Callback);                                                \
    static_assert(kIsCdecl<Callback>, #Callback " must be cdecl");                                 \
    static_assert(std::is_same_v<ArgumentOf<Callback, 0>, wkeWebView> &&                           \
                      std::is_same_v<ArgumentOf<Callback, 1>, void*>,                              \
                  #Callback " must start with the view and the registration's param");
ORV_WKE_EVENTS(ORV_CHECK_ENGINE_EVENT)
#undef ORV_CHECK_ENGINE_EVENT

static_assert(kIsCdecl<decltype(wkeNetJobDataBind::recvCallback)>, "wkeNetJobDataBind::recvCallback must be cdecl");
static_assert(kIsCdecl<decltype(wkeNetJobDataBind::finishCallback)>,
              "wkeNetJobDataBind::finishCallback must be cdecl");

// Scalars as the engine passes them: every enum int-sized, jsValue a 64-bit handle in both
// builds, predicates read as a 32-bit value, bool one byte.
static_assert(sizeof(jsValue) == 8, "jsValue is a 64-bit handle");
static_assert(sizeof(wkeBool) == 4, "predicates are read as a 32-bit value");
static_assert(sizeof(bool) == 1, "the engine's bool fields and arguments are one byte");
static_assert(sizeof(wkeWindowType) == 4 && sizeof(wkeNavigationType) == 4 && sizeof(wkeLoadingResult) == 4 &&
                  sizeof(wkeConsoleLevel) == 4 && sizeof(wkeMouseFlags) == 4 && sizeof(wkeKeyFlags) == 4 &&
                  sizeof(wkeDownloadOpt) == 4 && sizeof(wkeOtherLoadType) == 4 &&
                  sizeof(wkeOnContextMenuItemClickType) == 4 && sizeof(wkeOnContextMenuItemClickStep) == 4 &&
                  sizeof(wkeWebDragOperationsMask) == 4,
              "the engine's enums are int-sized");

#define ORV_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), #type " must be " #bytes " bytes")
#define ORV_AT(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "::" #field " must be at byte " #offset)

#if defined(_WIN32) && !defined(_WIN64)
// The 32-bit layouts, as the engine's header gives them.
ORV_SIZE(wkeRect, 16);
ORV_AT(wkeRect, x, 0);
ORV_AT(wkeRect, y, 4);
ORV_AT(wkeRect, w, 8);
ORV_AT(wkeRect, h, 12);

ORV_SIZE(wkePoint, 8);
ORV_AT(wkePoint, x, 0);
ORV_AT(wkePoint, y, 4);

ORV_SIZE(wkeViewSettings, 8);
ORV_AT(wkeViewSettings, size, 0);
ORV_AT(wkeViewSettings, bgColor, 4);

ORV_SIZE(wkeWindowFeatures, 24);
ORV_AT(wkeWindowFeatures, x, 0);
ORV_AT(wkeWindowFeatures, y, 4);
ORV_AT(wkeWindowFeatures, width, 8);
ORV_AT(wkeWindowFeatures, height, 12);
ORV_AT(wkeWindowFeatures, menuBarVisible, 16);
ORV_AT(wkeWindowFeatures, statusBarVisible, 17);
ORV_AT(wkeWindowFeatures, toolBarVisible, 18);
ORV_AT(wkeWindowFeatures, locationBarVisible, 19);
ORV_AT(wkeWindowFeatures, scrollbarsVisible, 20);
ORV_AT(wkeWindowFeatures, resizable, 21);
ORV_AT(wkeWindowFeatures, fullscreen, 22);

ORV_SIZE(wkeMemBuf, 12);
ORV_AT(wkeMemBuf, unuse, 0);
ORV_AT(wkeMemBuf, data, 4);
ORV_AT(wkeMemBuf, length, 8);

// The double is 8-aligned, as in the engine's own build: four bytes of padding before it.
ORV_SIZE(wkeMediaLoadInfo, 24);
ORV_AT(wkeMediaLoadInfo, size, 0);
ORV_AT(wkeMediaLoadInfo, width, 4);
ORV_AT(wkeMediaLoadInfo, height, 8);
ORV_AT(wkeMediaLoadInfo, duration, 16);

ORV_SIZE(wkeDraggableRegion, 20);
ORV_AT(wkeDraggableRegion, bounds, 0);
ORV_AT(wkeDraggableRegion, draggable, 16);

ORV_SIZE(wkeTempCallbackInfo, 24);
ORV_AT(wkeTempCallbackInfo, size, 0);
ORV_AT(wkeTempCallbackInfo, frame, 4);
ORV_AT(wkeTempCallbackInfo, willSendRequestInfo, 8);
ORV_AT(wkeTempCallbackInfo, url, 12);
ORV_AT(wkeTempCallbackInfo, postBody, 16);
ORV_AT(wkeTempCallbackInfo, job, 20);

ORV_SIZE(wkeNetJobDataBind, 12);
ORV_AT(wkeNetJobDataBind, param, 0);
ORV_AT(wkeNetJobDataBind, recvCallback, 4);
ORV_AT(wkeNetJobDataBind, finishCallback, 8);
#elif defined(_WIN64)
// The x86-64 twin (the Wine suite where no 32-bit program runs): the same header laid out
// with 8-byte pointers and size_t. The engine's header gives no 64-bit figures; these
// pin the layout our stand-in and the plug-in share there.
ORV_SIZE(wkeRect, 16);
ORV_SIZE(wkePoint, 8);
ORV_SIZE(wkeViewSettings, 8);
ORV_SIZE(wkeWindowFeatures, 24);
ORV_AT(wkeWindowFeatures, menuBarVisible, 16);
ORV_AT(wkeWindowFeatures, fullscreen, 22);
ORV_SIZE(wkeMemBuf, 24);
ORV_AT(wkeMemBuf, data, 8);
ORV_AT(wkeMemBuf, length, 16);
ORV_SIZE(wkeMediaLoadInfo, 24);
ORV_AT(wkeMediaLoadInfo, duration, 16);
ORV_SIZE(wkeDraggableRegion, 20);
ORV_AT(wkeDraggableRegion, draggable, 16);
ORV_SIZE(wkeTempCallbackInfo, 48);
ORV_AT(wkeTempCallbackInfo, frame, 8);
ORV_AT(wkeTempCallbackInfo, willSendRequestInfo, 16);
ORV_AT(wkeTempCallbackInfo, url, 24);
ORV_AT(wkeTempCallbackInfo, postBody, 32);
ORV_AT(wkeTempCallbackInfo, job, 40);
ORV_SIZE(wkeNetJobDataBind, 24);
ORV_AT(wkeNetJobDataBind, recvCallback, 8);
ORV_AT(wkeNetJobDataBind, finishCallback, 16);
#endif

#undef ORV_SIZE
#undef ORV_AT

}  // namespace
}  // namespace orv::framework
