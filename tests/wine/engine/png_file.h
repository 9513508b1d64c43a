// Win32 only: writes the picture of a device context's bitmap as a PNG file (WIC), for
// the screenshots the engine tests keep.
#pragma once

#include <windows.h>

#include <string>

// False with the failed step in `error`.
bool writeBitmapAsPng(HDC dc, const std::wstring& path, std::string& error);
