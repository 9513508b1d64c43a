// Walking up the category tree by ParentDir, with guards against loops in a damaged tree.
#include "render/category_trail.h"

#include "library/schema.h"

namespace orv::render {

using library::Row;
using library::cellNumber;
using library::cellText;

namespace {

// ParentDir and DirName of a category; false when there is no such row.
bool readCategory(library::HostDb& db, int lib, long long dID, long long& parent, std::string& name) {
    Row row;
    if (!db.findOne(lib, library::tables::Directory, "dID=" + std::to_string(dID), row, "ParentDir,DirName", ""))
        return false;
    parent = cellNumber(row, 0);
    name = cellText(row, 1);
    return true;
}

bool readPrivateRoot(library::HostDb& db, long long& dID, std::string& name) {
    Row row;
    if (!db.findOne(library::kPublic, library::tables::Directory, "nType=" + std::to_string(library::kCategoryPrivateRoot),
                    row, "dID,DirName", ""))
        return false;
    dID = cellNumber(row, 0);
    name = cellText(row, 1);
    return true;
}

}  // namespace

std::string BuildCategoryTrail(library::HostDb& db, int lib, std::string text, long long dID) {
    long long parent = 0;
    std::string name;
    for (long long d = dID; readCategory(db, lib, d, parent, name); d = parent) {
        const std::string item = "<li><a  target=\"_blank\" href=\"r" + std::to_string(lib) + std::to_string(d) +
                                 "\">" + name + "</a></li>";
        if (text.find(item) != std::string::npos) break;
        text.insert(0, item);
        if (parent == 0) break;
    }
    long long rootID = 0;
    if (lib == library::kPrivate && readPrivateRoot(db, rootID, name))
        text.insert(0, "<li><a target=\"_blank\" href=\"r0" + std::to_string(rootID) + "\">" + name + "</a></li>");
    return text;
}

std::string CategoryPath(library::HostDb& db, int lib, long long dID) {
    std::string path;
    long long parent = 0;
    std::string name;
    for (long long d = dID; d != 0 && readCategory(db, lib, d, parent, name); d = parent) {
        const std::string piece = name + "\\";
        // Names may repeat on a path; only a long path is taken for a loop.
        if (path.size() >= 51 && path.find(piece) != std::string::npos) break;
        path.insert(0, piece);
    }
    if (lib == library::kPrivate) {
        long long rootID = 0;
        std::string rootName;
        readPrivateRoot(db, rootID, rootName);
        return "\\" + rootName + "\\" + path;
    }
    return "\\" + path;
}

std::string IdPath(library::HostDb& db, int lib, long long dID) {
    std::string path = std::to_string(dID) + "\\";
    long long parent = 0;
    std::string name;
    for (long long d = dID; readCategory(db, lib, d, parent, name); d = parent) {
        // Compare whole ids: "5\" must not be taken as present in "15\9\".
        if (("\\" + path).find("\\" + std::to_string(parent) + "\\") != std::string::npos) break;
        path.insert(0, std::to_string(parent) + "\\");
        if (parent == 0) break;
    }
    return path;
}

}  // namespace orv::render
