// Reading result tables, and the shared failure text of the host services.
#include "library/host_db.h"

#include "library/fragment.h"

namespace orv::library {
namespace {
const std::string kEmpty;
}

const std::string& cellText(const Row& row, int column) {
    if (column < 0 || column >= static_cast<int>(row.size())) return kEmpty;
    return row[static_cast<size_t>(column)];
}

long long cellNumber(const Row& row, int column) { return toInt(cellText(row, column)); }

const std::string& ResultTable::text(int row, int column) const {
    if (row < 0 || row >= count()) return kEmpty;
    return cellText(rows[static_cast<size_t>(row)], column);
}

long long ResultTable::number(int row, int column) const { return toInt(text(row, column)); }

std::string failedAddMessage(HostDb& db, int lib) { return failedWriteMessage(db.errMsg(lib)); }

std::string failedWriteMessage(std::string_view error) { return "写数据库失败！\r\n错误信息：\r\n" + std::string(error); }

}  // namespace orv::library
