// Report lists (SysListView32) of the hand-laid forms: columns with widths in 96-dpi
// units, rows of UTF-8 texts carrying item data, and sorting by one column's texts, as a
// click on its header asks. Win32 only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv::framework {

struct ListColumn {
    std::string_view caption;
    int width = 0;  // 96-dpi units
};

// Replaces the list's columns; false when one could not be added.
bool SetListColumns(HWND list, const std::vector<ListColumn>& columns);

// Appends a row; the index it got, or -1 when the list could not take it.
int AddListRow(HWND list, const std::vector<std::string>& texts, LPARAM data = 0);

int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);
LPARAM ListRowData(HWND list, int row);

// Orders the rows by the texts of `column`, compared as the user's language orders
// words; the row data goes with its row.
bool SortListByColumn(HWND list, int column, bool ascending);

// A header click's sort: the same column again turns the order round.
class ListSortOrder {
public:
    bool sortBy(HWND list, int column);

private:
    int column_ = -1;
    bool ascending_ = true;
};

}  // namespace orv::framework
