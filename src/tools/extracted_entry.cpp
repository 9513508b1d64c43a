// Naming of extracted entries.
#include "tools/extracted_entry.h"

#include "text/ascii.h"

namespace orv::tools {

ExtractedEntry makeEntry(const std::string& name, int type, std::string syntax) {
    ExtractedEntry entry;
    entry.KeyWord = name;
    entry.DisplayKeyWord = name;
    entry.UKeyWord = text::toUpperAscii(name);
    entry.nType = type;
    entry.Syntax = std::move(syntax);
    return entry;
}

}  // namespace orv::tools
