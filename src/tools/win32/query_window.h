// The query result window ("Form查询"): the rows of a direct query in a grid with a header
// row, at most 300 of them, the number of matching rows in its caption. It lives on
// beside the window that opened it until the user closes it, and a further query reuses
// it. Win32 only.
#pragma once

#include "tools/direct_sql.h"

#include <windows.h>

namespace orv::tools {

inline constexpr const wchar_t* kQueryWindowClass = L"OrvintaHelp_Form查询";
inline constexpr int kQueryGridId = 102;

// Shows the rows of a query that worked (its caption set from the result), opening the
// window over `owner` or bringing the open one forward. False when it could not be
// opened; the user was told why.
bool showQueryResult(HWND owner, const SqlResult& result);
// The open window, or null.
HWND queryWindow();

}  // namespace orv::tools
