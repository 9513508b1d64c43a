// Names, column orders, type codes and special rows of the help libraries: every query
// in the program spells its tables and columns through these.
#pragma once

#include <array>
#include <string_view>

namespace orv::library {

// Library index: the first argument of every host database service.
enum Library : int { kPublic = 0, kPrivate = 1, kProject = 2 };

namespace tables {
inline constexpr std::string_view Directory = "Directory";
inline constexpr std::string_view KeywordList = "KeywordList";
inline constexpr std::string_view KeywordData = "KeywordData";
inline constexpr std::string_view Favorite = "Favorite";
inline constexpr std::string_view User = "User";
inline constexpr std::string_view UpdateList = "UpdateList";
inline constexpr std::string_view ListAndData = "KeywordList,KeywordData";
inline constexpr std::string_view DataAndList = "KeywordData,KeywordList";
inline constexpr std::string_view JoinCondition = "KeywordList.sID=KeywordData.sID";
}  // namespace tables

struct Column {
    std::string_view name;
    bool integer;
};

// Column orders as a '*' read returns them; the positions are the column numbers below.
inline constexpr std::array<Column, 8> kDirectoryColumns{{
    {"dID", true}, {"DirName", false}, {"ParentDir", true}, {"Description", false},
    {"nType", true}, {"uID", true}, {"uDate", true}, {"Sort", true}}};
inline constexpr std::array<Column, 6> kKeywordListColumns{{
    {"kID", true}, {"dID", true}, {"sID", true}, {"DisplayKeyWord", false},
    {"nType", true}, {"Sort", true}}};
inline constexpr std::array<Column, 17> kKeywordDataColumns{{
    {"sID", true}, {"KeyWord", false}, {"UKeyWord", false}, {"Description", false},
    {"Explain", false}, {"Syntax", false}, {"Member", false}, {"Parameter", false},
    {"Examples", false}, {"Source", false}, {"Related", false}, {"Include", false},
    {"Platform", true}, {"Attribute", true}, {"nType", true}, {"uID", true}, {"uDate", true}}};
inline constexpr std::array<Column, 4> kFavoriteColumns{{
    {"kID", true}, {"DisplayKeyWord", false}, {"PriPub", true}, {"nType", true}}};
inline constexpr std::array<Column, 2> kUserColumns{{{"uName", false}, {"uID", true}}};
inline constexpr std::array<Column, 9> kUpdateListColumns{{
    {"lID", true}, {"uID", true}, {"uName", false}, {"sCommand", true}, {"sName", false},
    {"sText", false}, {"sExecute", true}, {"uDate", true}, {"tID", true}}};

// Column numbers in a '*' read of Directory.
namespace dir {
enum : int { dID, DirName, ParentDir, Description, nType, uID, uDate, Sort };
}
// Column numbers in a '*' read of KeywordList.
namespace list {
enum : int { kID, dID, sID, DisplayKeyWord, nType, Sort };
}
// Column numbers in a '*' read of KeywordData.
namespace data {
enum : int { sID, KeyWord, UKeyWord, Description, Explain, Syntax, Member, Parameter,
             Examples, Source, Related, Include, Platform, Attribute, nType, uID, uDate };
}
// Column numbers in a '*' read of "KeywordList,KeywordData": the list's six columns
// come first, so every data column moves six places on.
namespace joined {
inline constexpr int kDataOffset = static_cast<int>(kKeywordListColumns.size());
enum : int {
    kID, dID, sID, DisplayKeyWord, nType, Sort,
    data_sID = kDataOffset + data::sID, KeyWord = kDataOffset + data::KeyWord,
    UKeyWord = kDataOffset + data::UKeyWord, Description = kDataOffset + data::Description,
    Explain = kDataOffset + data::Explain, Syntax = kDataOffset + data::Syntax,
    Member = kDataOffset + data::Member, Parameter = kDataOffset + data::Parameter,
    Examples = kDataOffset + data::Examples, Source = kDataOffset + data::Source,
    Related = kDataOffset + data::Related, Include = kDataOffset + data::Include,
    Platform = kDataOffset + data::Platform, Attribute = kDataOffset + data::Attribute,
    data_nType = kDataOffset + data::nType, uID = kDataOffset + data::uID,
    uDate = kDataOffset + data::uDate,
    kColumnCount = kDataOffset + static_cast<int>(kKeywordDataColumns.size())
};
}  // namespace joined
// Column numbers in a '*' read of UpdateList.
namespace change {
enum : int { lID, uID, uName, sCommand, sName, sText, sExecute, uDate, tID };
}

// Category types (Directory.nType).
enum CategoryType : int {
    kCategoryHidden = 0,       // not shown inside the IDE
    kCategoryLeaf = 1,         // shown as a leaf with the file icon, no children
    kCategoryRecycleBin = 2,
    kCategoryShownInIde = 10,  // what the header import creates
    kCategoryPrivateRoot = 11  // public-library placeholder for the private tree
};

// Entry types (KeywordList.nType, KeywordData.nType). 12 to 19 are reserved.
enum EntryType : int {
    kEntryOther = 0, kEntryStatement = 1, kEntrySub = 2, kEntryFunction = 3,
    kEntryStandardType = 4, kEntryDefinedType = 5, kEntryAlias = 6, kEntryEnum = 7,
    kEntryUnion = 8, kEntryConstant = 9, kEntryMacro = 10, kEntryVariable = 11,
    kEntryMember = 20, kEntryEnumMember = 21
};
inline constexpr int kFirstMemberType = 20;
inline constexpr std::string_view kNotMemberCondition = "nType<20";
inline constexpr bool canOwnMembers(int type) {
    return type == kEntryDefinedType || type == kEntryEnum || type == kEntryUnion;
}

// KeywordData.Platform and KeywordData.Attribute.
enum Platform : int { kPlatformWindows = 0, kPlatformLinux = 1, kPlatformBoth = 2 };
enum Attribute : int { kAttrHelpDocument = 0, kAttrNative = 1, kAttrSourceCode = 2, kAttrExtension = 3 };

// Special rows.
inline constexpr std::string_view kPrivateRootName = "[私用库]";
inline constexpr std::string_view kPublicBinName = "[公用库回收站]";
inline constexpr std::string_view kPrivateBinName = "[私用库回收站]";
inline constexpr int kPrivateRootSort = 20000;
inline constexpr int kRecycleBinSort = 30000;

// Files of the libraries, relative to the IDE folder (index 2 lives in memory).
inline constexpr std::string_view kPublicFile = "Settings\\PubHelp.db";
inline constexpr std::string_view kPrivateFile = "Private\\PriHelp.db";

}  // namespace orv::library
