// Reading image texts into the resource they name.
#include "framework/image_name.h"

#include "text/ascii.h"

namespace orv::framework {

namespace {

struct PrefixKind {
    const char* prefix;
    ImageResourceKind kind;
};

constexpr PrefixKind kImagePrefixes[] = {
    {"ICON_", ImageResourceKind::Icon},
    {"BITMAP_", ImageResourceKind::Bitmap},
    {"RCDATA_", ImageResourceKind::RcData},
};

constexpr int kLargestResourceId = 0xFFFF;

}  // namespace

ImageName ParseImageName(std::string_view text) {
    ImageName image;
    const size_t bar = text.rfind('|');
    if (bar != std::string_view::npos) {
        image.file = std::string(text.substr(0, bar));
        text.remove_prefix(bar + 1);
    }
    image.resource = std::string(text);
    for (const PrefixKind& entry : kImagePrefixes)
        if (text::startsWithNoCase(text, entry.prefix)) image.kind = entry.kind;
    return image;
}

ResourceRef ParseResourceRef(std::string_view caption) {
    ResourceRef ref;
    if (caption.size() > 1 && caption.size() <= 6 && caption.front() == '#') {
        int id = 0;
        bool digits = true;
        for (const char c : caption.substr(1)) {
            if (c < '0' || c > '9') digits = false;
            else id = id * 10 + (c - '0');
        }
        if (digits && id > 0 && id <= kLargestResourceId) {
            ref.id = id;
            return ref;
        }
    }
    ref.name = std::string(caption);
    return ref;
}

}  // namespace orv::framework
