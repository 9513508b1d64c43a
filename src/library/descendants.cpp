// Depth-first walk of the category tree through the host services.
#include "library/descendants.h"

#include "library/schema.h"

#include <set>

namespace orv::library {
namespace {

void appendChildren(HostDb& db, int lib, long long dID, std::string& list, std::set<long long>& seen) {
    ResultTable children;
    db.find(lib, tables::Directory, "ParentDir=" + std::to_string(dID), children, "dID", "", 0);
    for (int i = 0; i < children.count(); ++i) {
        const long long child = children.number(i, 0);
        if (!seen.insert(child).second) continue;
        list += ',';
        list += std::to_string(child);
        appendChildren(db, lib, child, list, seen);
    }
}

}  // namespace

std::string descendantList(HostDb& db, int lib, long long dID) {
    std::string list = std::to_string(dID);
    std::set<long long> seen{dID};
    appendChildren(db, lib, dID, list, seen);
    return list;
}

}  // namespace orv::library
