// Report lists: columns, rows and sorting by a column's texts. Win32 only.
#include "framework/win32/list_view.h"

#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

namespace orv::framework {
namespace {

struct SortRequest {
    HWND list;
    int column;
    bool ascending;
};

std::wstring cellText(HWND list, int row, int column) {
    // Grown until the text fits: a cell may hold a long name.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int length = static_cast<int>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length < static_cast<int>(buffer.size()) - 1) return buffer.substr(0, static_cast<size_t>(length));
        buffer.resize(buffer.size() * 4);
    }
}

// Called by the list while it sorts: nothing may leave it as an exception.
int CALLBACK compareRows(LPARAM first, LPARAM second, LPARAM request) {
    try {
        const auto& r = *reinterpret_cast<const SortRequest*>(request);
        const std::wstring a = cellText(r.list, static_cast<int>(first), r.column);
        const std::wstring b = cellText(r.list, static_cast<int>(second), r.column);
        const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                                         b.c_str(), static_cast<int>(b.size())) - CSTR_EQUAL;
        return r.ascending ? order : -order;
    } catch (...) {
        return 0;
    }
}

}  // namespace

bool SetListColumns(HWND list, const std::vector<ListColumn>& columns) {
    // Column 0 cannot be deleted by every version of the list: the others go, the first
    // is set anew.
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int present = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    while (present > 1 && SendMessageW(list, LVM_DELETECOLUMN, present - 1, 0)) --present;
    const DpiScale& scale = ScreenScale();
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring caption = text::utf8ToWide(columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = scale.ScaleX(columns[i].width);
        column.iSubItem = static_cast<int>(i);
        const bool reused = i == 0 && present == 1;
        const LRESULT done = SendMessageW(list, reused ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW, i,
                                          reinterpret_cast<LPARAM>(&column));
        if (reused ? done == FALSE : done < 0) return false;
    }
    // No columns asked for: the one kept goes as far as the list lets it.
    if (columns.empty() && present == 1) SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    return true;
}

int AddListRow(HWND list, const std::vector<std::string>& texts, LPARAM data) {
    std::wstring first = texts.empty() ? std::wstring() : text::utf8ToWide(texts.front());
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListRowCount(list);
    item.pszText = first.data();
    item.lParam = data;
    const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return -1;
    for (size_t column = 1; column < texts.size(); ++column) {
        std::wstring cell = text::utf8ToWide(texts[column]);
        LVITEMW sub{};
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = cell.data();
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCellText(HWND list, int row, int column) { return text::wideToUtf8(cellText(list, row, column)); }

LPARAM ListRowData(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool SortListByColumn(HWND list, int column, bool ascending) {
    SortRequest request{list, column, ascending};
    return SendMessageW(list, LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&request),
                        reinterpret_cast<LPARAM>(&compareRows)) != FALSE;
}

bool ListSortOrder::sortBy(HWND list, int column) {
    ascending_ = column == column_ ? !ascending_ : true;
    column_ = column;
    return SortListByColumn(list, column, ascending_);
}

}  // namespace orv::framework
