// The host services the plug-in binds to, and the rule that finds each among the host's
// exports: the exact name, else name@N for N = 0, 4, ... 252; the first hit wins.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace orv::plugin {

// Services the plug-in calls.
inline constexpr std::array<std::string_view, 15> kCalledServices{
    "GETEXEAPP",           "INSERTTOOL",          "SQLITEBOX_FIND",       "SQLITEBOX_FINDONE",
    "SQLITEBOX_FINDONLY",  "SQLITEBOX_COUNT",     "SQLITEBOX_ADDITEM",    "SQLITEBOX_ADDITEMUTF",
    "SQLITEBOX_UPDATE",    "SQLITEBOX_UPDATEUTF", "SQLITEBOX_DELETEITEM", "SQLITEBOX_MAXID",
    "SQLITEBOX_TRANSACTION", "SQLITEBOX_VACUUM",  "SQLITEBOX_ERRMSG"};

// Services bound at start-up that nothing calls yet.
inline constexpr std::array<std::string_view, 29> kUncalledServices{
    "GETOPAPP", "GETPRORUNFILEEX", "GETIMGFORMEX", "OPENHELP", "OPENCOLORDIALOG",
    "GETMAINWINHANDLE", "ISMULTILANGUAGE", "CURPROISCHILDWINDOW", "CURPROSETCHILDWINDOW",
    "MENU_ADD_JILU", "OPENGONGCEN", "CREATETAB", "CLOSETAB", "CURRENTPRONEWADD",
    "GETFOCUSCODEEDIT", "CODEEDITMSG", "GETCURRENTSCI", "INSERTTEXT", "APPENDTEXT",
    "BLOCKCOMMENT", "INDENTBLOCK", "GETCURRENTTEXT", "SETCURRENTTEXT", "GETCURRENTLINENUMBER",
    "SETCURRENTLINETEXT", "GETCURRENTLINETEXT", "GETCURRENTSELTEXT", "GOCURRENTLINE",
    "SQLITEBOX_EXEC"};

// Looks an exact export name up in a module; null when absent.
using ExportLookup = std::function<void*(const std::string& exportName)>;

// Finds a service by the rule above; null when no form of the name is exported.
void* resolveService(std::string_view name, const ExportLookup& lookup);

}  // namespace orv::plugin
