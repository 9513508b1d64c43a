// The window style bits the control kinds are made of, as plain numbers so that the
// portable core can hold the kinds table; named apart from the <windows.h> macros.
#pragma once

#include <cstdint>

namespace orv::framework {

inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsVScroll = 0x00200000;
inline constexpr std::uint32_t kWsHScroll = 0x00100000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;

inline constexpr std::uint32_t kWsExTransparent = 0x00000020;
inline constexpr std::uint32_t kWsExClientEdge = 0x00000200;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000;

}  // namespace orv::framework
