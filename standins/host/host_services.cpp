// The services the IDE stand-in exports to plug-ins by name (see orvhost.def): the
// application record, the toolbar and the database services over SQLite. Win32 only.
#include "standins/host/host_runtime.h"

#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <windows.h>

using namespace orv;
using orv::standin::hostRuntime;

namespace {

std::string fromWide(HostWString w) { return w ? text::wideToUtf8(w) : std::string(); }

std::string fromString(const HostString* s) {
    return s && s->data ? std::string(s->data, static_cast<size_t>(s->length)) : std::string();
}

void assign(HostString* out, const std::string& value) {
    if (out) hostStringAssign(out, value.data(), static_cast<int32_t>(value.size()));
}

// Writes one row of cells into table row `r`.
void fillRow(HostTable* t, int32_t r, const std::vector<std::string>& cells) {
    for (int32_t c = 0; c < t->columns && c < static_cast<int32_t>(cells.size()); ++c)
        assign(&t->cells[r * t->columns + c], cells[static_cast<size_t>(c)]);
}

}  // namespace

extern "C" {

HostAppRecord* HOST_CALL GETEXEAPP() { return &hostRuntime().app; }

int32_t HOST_CALL INSERTTOOL(int32_t a, int32_t b, int32_t c, int32_t commandId, int32_t zero, HostString* tip,
                             HostString* icon) {
    auto& handler = hostRuntime().insertTool;
    if (!handler) return 0;
    return handler({{a, b, c}, commandId, zero, fromString(tip), fromString(icon)});
}

int32_t HOST_CALL SQLITEBOX_FIND(int32_t L, HostWString table, HostWString where, HostTable* result,
                                 HostWString fields, HostWString order, int32_t, int32_t limit) {
    if (!result) return 0;
    library::ResultTable t;
    hostRuntime().db.find(L, fromWide(table), fromWide(where), t, fromWide(fields), fromWide(order), limit);
    hostTableFree(result);
    if (!hostTableResize(result, t.count() + 1, static_cast<int32_t>(t.columns.size()))) return 0;
    fillRow(result, 0, t.columns);
    for (int32_t r = 0; r < t.count(); ++r) fillRow(result, r + 1, t.rows[static_cast<size_t>(r)]);
    return t.count();
}

int32_t HOST_CALL SQLITEBOX_FINDONE(int32_t L, HostWString table, HostWString where, HostTable* row,
                                    HostWString fields, HostWString order) {
    if (!row) return 0;
    library::Row found;
    if (!hostRuntime().db.findOne(L, fromWide(table), fromWide(where), found, fromWide(fields), fromWide(order)))
        return 0;
    hostTableFree(row);
    if (!hostTableResize(row, 1, static_cast<int32_t>(found.size()))) return 0;
    fillRow(row, 0, found);
    return 1;
}

int32_t HOST_CALL SQLITEBOX_FINDONLY(int32_t L, HostWString table, HostWString where, HostWString field,
                                     HostWString order, HostString* out) {
    const std::string value =
        hostRuntime().db.findOnly(L, fromWide(table), fromWide(where), fromWide(field), fromWide(order));
    assign(out, value);
    return !value.empty();
}

int32_t HOST_CALL SQLITEBOX_COUNT(int32_t L, HostWString table, HostWString where) {
    return static_cast<int32_t>(hostRuntime().db.count(L, fromWide(table), fromWide(where)));
}

int32_t HOST_CALL SQLITEBOX_ADDITEM(int32_t L, HostWString table, HostWString assignments) {
    return static_cast<int32_t>(hostRuntime().db.addItem(L, fromWide(table), fromWide(assignments)));
}

int32_t HOST_CALL SQLITEBOX_ADDITEMUTF(int32_t L, HostString* table, HostString* assignments) {
    return static_cast<int32_t>(hostRuntime().db.addItemUtf(L, fromString(table), fromString(assignments)));
}

int32_t HOST_CALL SQLITEBOX_UPDATE(int32_t L, HostWString table, HostWString where, HostWString assignments) {
    return static_cast<int32_t>(hostRuntime().db.update(L, fromWide(table), fromWide(where), fromWide(assignments)));
}

int32_t HOST_CALL SQLITEBOX_UPDATEUTF(int32_t L, HostString* table, HostString* where, HostString* assignments) {
    return static_cast<int32_t>(
        hostRuntime().db.updateUtf(L, fromString(table), fromString(where), fromString(assignments)));
}

int32_t HOST_CALL SQLITEBOX_DELETEITEM(int32_t L, HostWString table, HostWString where) {
    return static_cast<int32_t>(hostRuntime().db.deleteItem(L, fromWide(table), fromWide(where)));
}

int32_t HOST_CALL SQLITEBOX_MAXID(int32_t L, HostWString table, HostWString field, HostWString where) {
    return static_cast<int32_t>(hostRuntime().db.maxId(L, fromWide(table), fromWide(field), fromWide(where)));
}

void HOST_CALL SQLITEBOX_TRANSACTION(int32_t L, int32_t commit) {
    hostRuntime().db.transaction(L, commit ? library::TransactionStep::Commit : library::TransactionStep::Begin);
}

void HOST_CALL SQLITEBOX_VACUUM(int32_t L) { hostRuntime().db.vacuum(L); }

void HOST_CALL SQLITEBOX_ERRMSG(int32_t L, HostString* out) { assign(out, hostRuntime().db.errMsg(L)); }

// The services an IDE offers that this stand-in has no use for; all answer 0.
int32_t HOST_CALL HOST_NOT_PROVIDED() { return 0; }

}  // extern "C"
