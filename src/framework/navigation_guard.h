// What a page view of ours may load by itself: our own generated pages and the files of
// the IDE folder (style sheets, scripts, images of "view/"). A page can carry text from a
// shared library entry, so nothing it asks for may bring a remote page, script or form
// target into the view; addresses outside go to the user's own browser, and only when
// the user clicked them.
#pragma once

#include <string>
#include <string_view>

namespace orv::framework {

// The file address of a folder, as an engine on Windows writes it: "C:\ide" and "C:/ide/"
// both give "file:///C:/ide/"; a POSIX path "/opt/ide" gives "file:///opt/ide/".
std::string FolderFileUrl(std::string_view folderPath);

class NavigationGuard {
public:
    // `folderUrl` is the IDE folder's file address (FolderFileUrl).
    explicit NavigationGuard(std::string folderUrl);

    // True for about:blank, data: addresses and file addresses inside the folder; a path
    // that climbs out with ".." or hides a separator in an escape is outside.
    bool Allows(std::string_view url) const;

private:
    std::string folderPath_;  // decoded, with "/" separators and a trailing "/"
};

// Addresses the user's own browser (or mail program) opens when the user clicks them.
bool IsOutsideAddress(std::string_view url);

}  // namespace orv::framework
