// The member-name table: operators named by what they do.
#include "tools/member_names.h"

namespace orv::tools {
namespace {

struct MemberRule {
    std::string_view names;   // "|A|B|" list, or one name without bars
    int sort;
    std::string_view suffix;  // added to the name after a blank; empty: a fixed display name
    std::string_view display; // the fixed display name when there is no suffix
    std::string_view description;
};

// Tried in order: "-" and "*" are arithmetic before they are conditions.
constexpr MemberRule kMemberRules[] = {
    {"CONSTRUCTOR", 9010, "", "CONSTRUCTOR 构造", ""},
    {"DESTRUCTOR", 9020, "", "DESTRUCTOR 析构", ""},
    {"[]", 9030, "索引运算符", "", "索引运算符"},
    {"@", 9040, "指针运算符", "", "指针运算符"},
    {"|LET|+=|-=|*=|&=|/=|\\=|MOD=|SHL=|SHR=|AND=|OR=|XOR=|IMP=|EQV=|^=|", 9100, "赋值运算符", "",
     "赋值运算符"},
    {"|-|NOT|*|->|ABS|SGN|FIX|FRAC|INT|EXP|LOG|SIN|ASIN|COS|ACOS|TAN|ATN|LEN|", 9200, "算术运算符",
     "", "算术运算符"},
    {"|+|-|*|&|/|\\|MOD|SHL|SHR|AND|OR|XOR|IMP|EQV|^|=|<>|<|>|<=|>=|", 9300, "条件运算符", "",
     "条件运算符"},
    {"|NEW|DELETE|CAST|", 9400, "内存运算符", "", "内存运算符"},
    {"|FOR|STEP|NEXT|", 9500, "迭代运算符", "", "迭代运算符"},
};

bool matches(const MemberRule& rule, const std::string& key) {
    if (rule.names.front() != '|') return rule.names == key;
    return rule.names.find("|" + key + "|") != std::string_view::npos;
}

}  // namespace

MemberPlacement PlaceMember(const std::string& keyWord, const std::string& uKeyWord) {
    // An empty key would match "||" nowhere, but guard the list rules all the same.
    if (!uKeyWord.empty()) {
        for (const MemberRule& rule : kMemberRules) {
            if (!matches(rule, uKeyWord)) continue;
            MemberPlacement p;
            p.sort = rule.sort;
            p.displayKeyWord =
                rule.suffix.empty() ? std::string(rule.display) : keyWord + " " + std::string(rule.suffix);
            p.description = rule.description;
            return p;
        }
    }
    return MemberPlacement{10000, keyWord, {}};
}

}  // namespace orv::tools
