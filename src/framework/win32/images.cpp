// Loading icons and bitmaps from the module's resources, and decoding data resources
// through GDI+. Win32 only.
#include "framework/win32/images.h"

#include "framework/win32/gdiplus_session.h"
#include "framework/win32/module_instance.h"
#include "text/win32/wide_text.h"

#include <gdiplus.h>
#include <objidl.h>

#include <cstring>

namespace orv::framework {
namespace {

void say(std::string* problem, std::string text) {
    if (problem) *problem = std::move(text);
}

// Resource names are compared without case by the loader, so the name goes as written.
HANDLE loadResource(const std::wstring& name, UINT type, int size) {
    return LoadImageW(ModuleInstance(), name.c_str(), type, size, size, type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0);
}

// A bitmap as an opaque icon: an all-zero mask shows every pixel of the colour bitmap.
HICON iconFromBitmap(HBITMAP bitmap, int size) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) return nullptr;
    HBITMAP mask = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    if (!mask) return nullptr;
    ICONINFO icon{TRUE, 0, 0, mask, bitmap};
    HICON made = CreateIconIndirect(&icon);
    DeleteObject(mask);
    if (made && size > 0 && (info.bmWidth != size || info.bmHeight != size))
        made = static_cast<HICON>(CopyImage(made, IMAGE_ICON, size, size, LR_COPYDELETEORG));
    return made;
}

// The bytes of a data resource as a stream GDI+ can read (the stream owns its copy).
IStream* dataResourceStream(const std::wstring& name, std::string* problem) {
    const HINSTANCE module = ModuleInstance();
    HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return say(problem, "no data resource of that name"), nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return say(problem, "the data resource cannot be read"), nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return say(problem, "out of memory for the image data"), nullptr;
    void* target = GlobalLock(copy);
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return say(problem, "CreateStreamOnHGlobal failed"), nullptr;
    }
    return stream;
}

HICON decodeDataResource(const std::wstring& name, int size, std::string* problem) {
    GdiplusUse gdiplus;
    if (!gdiplus.ok()) return say(problem, "GDI+ is not available"), nullptr;
    IStream* stream = dataResourceStream(name, problem);
    if (!stream) return nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    const Gdiplus::Status decoded = Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap);
    HICON icon = nullptr;
    if (decoded == Gdiplus::Ok) {
        if (Gdiplus::DllExports::GdipCreateHICONFromBitmap(bitmap, &icon) != Gdiplus::Ok) icon = nullptr;
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    stream->Release();
    if (!icon) return say(problem, "GDI+ cannot decode the image data (status " + std::to_string(decoded) + ")"), nullptr;
    if (size > 0) {
        ICONINFO parts{};
        BITMAP info{};
        if (GetIconInfo(icon, &parts)) {
            GetObjectW(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof info, &info);
            if (parts.hbmColor) DeleteObject(parts.hbmColor);
            if (parts.hbmMask) DeleteObject(parts.hbmMask);
        }
        if (info.bmWidth != size || info.bmHeight != size)
            icon = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYDELETEORG));
    }
    return icon;
}

}  // namespace

HICON LoadImageIcon(std::string_view imageText, int size, std::string* problem) {
    const ImageName image = ParseImageName(imageText);
    const std::wstring name = text::utf8ToWide(image.resource);
    switch (image.kind) {
    case ImageResourceKind::Icon: {
        auto* icon = static_cast<HICON>(loadResource(name, IMAGE_ICON, size));
        if (!icon) say(problem, "no icon resource " + image.resource);
        return icon;
    }
    case ImageResourceKind::Bitmap: {
        auto* bitmap = static_cast<HBITMAP>(loadResource(name, IMAGE_BITMAP, 0));
        if (!bitmap) return say(problem, "no bitmap resource " + image.resource), nullptr;
        HICON icon = iconFromBitmap(bitmap, size);
        DeleteObject(bitmap);
        if (!icon) say(problem, "the bitmap " + image.resource + " cannot be made into an icon");
        return icon;
    }
    case ImageResourceKind::RcData: {
        HICON icon = decodeDataResource(name, size, problem);
        if (!icon && problem) *problem = image.resource + ": " + *problem;
        return icon;
    }
    case ImageResourceKind::None:
        break;
    }
    say(problem, "\"" + std::string(imageText) + "\" names no icon, bitmap or data resource");
    return nullptr;
}

HICON LoadIconResource(std::string_view name, int size) {
    return static_cast<HICON>(loadResource(text::utf8ToWide(name), IMAGE_ICON, size));
}

HBITMAP MenuBitmapFromIcon(HICON icon, int size) {
    if (!icon || size <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        DeleteObject(bitmap);
        return nullptr;
    }
    // Transparent to begin with; the icon draws its own alpha into the bitmap.
    std::memset(bits, 0, static_cast<std::size_t>(size) * size * 4);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const bool drawn = DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!drawn) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HANDLE LoadControlImage(const ResourceRef& ref, UINT imageType) {
    const std::wstring name = text::utf8ToWide(ref.name);
    const LPCWSTR resource = ref.id ? MAKEINTRESOURCEW(ref.id) : name.c_str();
    return LoadImageW(ModuleInstance(), resource, imageType, 0, 0,
                      imageType == IMAGE_BITMAP ? LR_CREATEDIBSECTION : LR_DEFAULTSIZE);
}

}  // namespace orv::framework
