// Image texts of image controls and menus: which resource of the module an image comes
// from ("new.ico|ICON_NEW", "BITMAP_OPEN", "RCDATA_LOGO", "#101").
#pragma once

#include <string>
#include <string_view>

namespace orv::framework {

enum class ImageResourceKind {
    None,    // a name with no known prefix: no image
    Icon,    // "ICON_": an icon resource
    Bitmap,  // "BITMAP_": a bitmap resource, turned into an icon
    RcData,  // "RCDATA_": image file bytes in a data resource, decoded by GDI+
};

struct ImageName {
    std::string file;      // the part before "|", kept for messages only: images come from resources
    ImageResourceKind kind = ImageResourceKind::None;
    std::string resource;  // the resource name, prefix included ("ICON_NEW")
};

// The part after the last "|" names the resource (a file name cannot hold "|", so the
// last one is the separator); without "|" the whole text does. Prefixes match without
// case, as resource names do.
ImageName ParseImageName(std::string_view text);

// The caption of an image label or button: "#" and a number in 1..65535 is a numeric
// resource id, anything else a resource name.
struct ResourceRef {
    int id = 0;        // non-zero for a numeric id
    std::string name;  // the name when id is 0
};
ResourceRef ParseResourceRef(std::string_view caption);

}  // namespace orv::framework
