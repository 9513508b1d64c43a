// What a page view may show and load by itself. Pages carry text that strangers wrote
// (shared library entries, the server's pages), so every view keeps a policy: which
// documents it may show (its main frame) and what a shown page may load. Addresses
// outside go to the user's own browser, and only when the user clicked them.
#pragma once

#include <string>
#include <string_view>

namespace orv::framework {

// The file address of a folder, as an engine on Windows writes it: "C:\ide" and "C:/ide/"
// both give "file:///C:/ide/"; a POSIX path "/opt/ide" gives "file:///opt/ide/".
std::string FolderFileUrl(std::string_view folderPath);

// The name the engine gives a page it makes from text: "_miniblink__data_" and a number,
// ".htm", in the host program's folder (the IDE folder).
inline constexpr std::string_view kEnginePagePrefix = "_miniblink__data_";

class NavigationPolicy {
public:
    virtual ~NavigationPolicy() = default;
    // A document the view itself shows.
    virtual bool AllowsDocument(std::string_view url) const = 0;
    // Anything a shown page loads (the engine asks for documents here too).
    virtual bool AllowsRequest(std::string_view url) const = 0;
};

// Our own pages over the IDE folder.
class LocalPagePolicy final : public NavigationPolicy {
public:
    // `folderUrl` is the IDE folder's file address (FolderFileUrl).
    explicit LocalPagePolicy(std::string folderUrl);

    // Only the pages the engine made from our text, and about:blank.
    bool AllowsDocument(std::string_view url) const override;
    // Those pages; every file below the folder's "view" (the templates' styles, scripts and
    // pictures); the example pictures of the folder by their picture name extension (a
    // picture is no document, and SVG, which can carry script, is no picture here); and
    // data:image/ and data:font/ addresses.
    bool AllowsRequest(std::string_view url) const override;

private:
    // The decoded path below the folder ("view/pui/help.css"), or "" for an address that
    // is not plainly inside it: another scheme or machine, a relative form, a ".." segment,
    // an escaped separator or dot.
    std::string insideFolder(std::string_view url) const;

    std::string folderPath_;  // decoded, with "/" separators and a trailing "/"
};

// One web site: the scheme, host and port of an address (the sync server's pages).
class SitePolicy final : public NavigationPolicy {
public:
    explicit SitePolicy(std::string_view siteUrl);

    bool AllowsDocument(std::string_view url) const override { return IsOnSite(url); }
    // The site's own files and data:image/ addresses.
    bool AllowsRequest(std::string_view url) const override;
    // True for an http or https address with the site's scheme, host and port.
    bool IsOnSite(std::string_view url) const;

private:
    std::string origin_;  // "http://host:port", empty when the site address is not one
};

// Addresses the user's own browser (or mail program) opens when the user clicks them.
bool IsOutsideAddress(std::string_view url);

}  // namespace orv::framework
