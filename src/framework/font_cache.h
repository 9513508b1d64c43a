// One font object per distinct font, shared by every form and control that asks for it.
// The cache decides sharing; making and deleting the font object itself (an HFONT on
// Windows) is the caller's, through the two functions it hands in.
#pragma once

#include "framework/font_description.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace orv::framework {

// Used on the user-interface thread only, where every window is created.
template <typename Handle>
class FontCache {
public:
    using Create = std::function<Handle(const FontDescription&)>;
    using Destroy = std::function<void(Handle)>;

    FontCache(Create create, Destroy destroy) : create_(std::move(create)), destroy_(std::move(destroy)) {}
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    // The fonts live as long as the cache: windows may hold them until they are destroyed.
    ~FontCache() {
        for (auto& entry : fonts_) destroy_(entry.second);
    }

    // The font for a font text, made on the first request for its font. A font that could
    // not be made gives Handle{} and is not remembered, so a later request tries again.
    // `problem` receives what was wrong with the text (see ParseFontDescription).
    Handle Get(std::string_view descriptionText, std::string* problem = nullptr) {
        const FontDescription font = ParseFontDescription(descriptionText, problem);
        std::string key = FontDescriptionKey(font);
        const auto found = fonts_.find(key);
        if (found != fonts_.end()) return found->second;
        const Handle made = create_(font);
        if (made == Handle{}) return made;
        fonts_.emplace(std::move(key), made);
        return made;
    }

    std::size_t size() const { return fonts_.size(); }

private:
    Create create_;
    Destroy destroy_;
    std::map<std::string, Handle> fonts_;
};

}  // namespace orv::framework
