// The calling convention of a function pointer type, for the compile-time checks of the
// interfaces the plug-in shares with the IDE (stdcall) and the browser engine (cdecl).
// Win32 only.
//
// In the 32-bit build cdecl and stdcall pointers are distinct types that do not convert
// into each other, so a pointer declared with the wrong convention is caught here. An
// x86-64 build has a single convention: every function pointer has "both", and the
// checks hold trivially there.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>

namespace orv::framework::abi {

enum class Convention { NotAFunction, Cdecl, Stdcall, Only };

template <typename R, typename... A>
struct SignatureParts {
    using Result = R;
    using Arguments = std::tuple<A...>;
    // What the callee pops (stdcall) and what a decorated name counts: each argument in
    // whole 32-bit slots.
    static constexpr std::size_t kArgumentBytes = (std::size_t{0} + ... + ((sizeof(A) + 3) & ~std::size_t{3}));
};

// Signature<T>::kConvention, plus Result, Arguments and kArgumentBytes for function pointers.
template <typename T>
struct Signature {
    static constexpr Convention kConvention = Convention::NotAFunction;
};

#if defined(_WIN32) && !defined(_WIN64)
template <typename R, typename... A>
struct Signature<R(__cdecl*)(A...)> : SignatureParts<R, A...> {
    static constexpr Convention kConvention = Convention::Cdecl;
    using Other = R(__stdcall*)(A...);
};
template <typename R, typename... A>
struct Signature<R(__stdcall*)(A...)> : SignatureParts<R, A...> {
    static constexpr Convention kConvention = Convention::Stdcall;
    using Other = R(__cdecl*)(A...);
};
#else
template <typename R, typename... A>
struct Signature<R (*)(A...)> : SignatureParts<R, A...> {
    static constexpr Convention kConvention = Convention::Only;
    using Other = R (*)(A...);
};
#endif

// T is a function pointer with convention C, and the same signature with the other
// convention does not convert to it (on x86-64: T is a function pointer).
template <typename T, Convention C>
constexpr bool hasConvention() {
    using S = Signature<T>;
    if constexpr (S::kConvention == Convention::Only) {
        return true;
    } else if constexpr (S::kConvention == C) {
        return !std::is_convertible_v<typename S::Other, T>;
    } else {
        return false;
    }
}

template <typename T>
inline constexpr bool kIsCdecl = hasConvention<T, Convention::Cdecl>();
template <typename T>
inline constexpr bool kIsStdcall = hasConvention<T, Convention::Stdcall>();

// The type of argument I of function pointer type T.
template <typename T, std::size_t I>
using ArgumentOf = std::tuple_element_t<I, typename Signature<T>::Arguments>;

}  // namespace orv::framework::abi
