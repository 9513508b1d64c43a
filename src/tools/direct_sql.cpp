// Direct statements through the host services.
#include "tools/direct_sql.h"

#include "library/schema.h"

namespace orv::tools {

bool isDirectSqlTable(std::string_view table) {
    return table == library::tables::Directory || table == library::tables::KeywordList ||
           table == library::tables::KeywordData;
}

SqlResult RunDirectSql(library::HostDb& db, int lib, std::string_view table, SqlOperation op,
                       std::string_view condition, std::string_view auxiliary) {
    SqlResult r;
    switch (op) {
    case SqlOperation::Update: r.affected = db.update(lib, table, condition, auxiliary); break;
    case SqlOperation::Delete: r.affected = db.deleteItem(lib, table, condition); break;
    case SqlOperation::Query:
        r.affected = db.find(lib, table, condition, r.rows, "*", auxiliary, kQueryRowLimit);
        break;
    }
    if (r.affected < 0 || (op == SqlOperation::Query && r.affected == 0)) {
        r.message = "执行SQL代码失败！\r\n错误信息：\r\n" + db.errMsg(lib);
        return r;
    }
    r.ok = true;
    if (op == SqlOperation::Query) {
        r.total = db.count(lib, table, condition);
        r.caption = "查询结果（最多显示300行）当前共" + std::to_string(r.total) + "行";
    } else {
        r.message = "执行成功！\r\n影响到 " + std::to_string(r.affected) + " 行数据";
    }
    return r;
}

}  // namespace orv::tools
