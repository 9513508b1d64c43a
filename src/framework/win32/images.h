// Pictures from the module's resources: icons named by image texts ("new.ico|ICON_NEW",
// "BITMAP_OPEN", "RCDATA_LOGO") and the images of image labels and buttons. Win32 only.
#pragma once

#include "framework/image_name.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace orv::framework {

// An icon of size × size pixels (0: the resource's own size) for an image text: an icon
// resource, a bitmap resource made into an icon, or image file bytes in a data resource
// decoded by GDI+. Null for a name without a known prefix or a resource that is missing
// or cannot be read, with the reason in `problem`. The caller destroys the icon.
HICON LoadImageIcon(std::string_view imageText, int size, std::string* problem = nullptr);

// An icon resource by its plain name ("AAAAA_APPICON"), size × size pixels. Null when
// the module has none of that name. The caller destroys it.
HICON LoadIconResource(std::string_view name, int size);

// A menu item's picture from an icon: a 32-bit bitmap with the icon's alpha, size × size
// pixels. Null when no bitmap could be made. The caller deletes it (DeleteObject) once
// the menu is gone.
HBITMAP MenuBitmapFromIcon(HICON icon, int size);

// The image of an image label or button: an icon (IMAGE_ICON) or a bitmap (IMAGE_BITMAP)
// resource by name or by "#n" number. Null when the module has no such resource. The
// caller frees it (DestroyIcon or DeleteObject).
HANDLE LoadControlImage(const ResourceRef& ref, UINT imageType);

}  // namespace orv::framework
