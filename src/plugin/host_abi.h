/* The binary forms that cross between the IDE and the plug-in: string descriptors, the
 * result table, the application and theme records, and the signatures of the host's
 * services and the plug-in's exports. Both sides include this file. 32-bit Windows. */
#ifndef ORV_HOST_ABI_H
#define ORV_HOST_ABI_H

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_CALL __stdcall

/* S: an 8-bit string, passed by reference. The IDE's language runtime keeps strings in
 * this descriptor: the text (followed by a NUL), its length in bytes, and the size of the
 * allocation. Text memory comes from the C runtime's malloc (msvcrt.dll, shared by both
 * modules), so whichever side receives a string owns it and frees it with free(). */
typedef struct HostString {
    char* data;
    int32_t length;
    int32_t size;
} HostString;

/* W: a UTF-16 string object, passed by value as a pointer to NUL-terminated UTF-16 text
 * that the caller owns for the duration of the call. NULL reads as "". */
typedef const wchar_t* HostWString;

/* A: the result table of SQLITEBOX_FIND (and the one row of SQLITEBOX_FINDONE), passed
 * by reference and filled by the host. cells holds rows x columns strings, row by row;
 * for SQLITEBOX_FIND row 0 holds the column names and rows 1..n the rows found, for
 * SQLITEBOX_FINDONE the single row holds the values. The caller starts from an all-zero
 * table and releases it with hostTableFree. */
typedef struct HostTable {
    HostString* cells;
    int32_t rows;
    int32_t columns;
} HostTable;

/* The host's application record (GETEXEAPP). Only the IDE folder is read: a UTF-16
 * string object at byte offset 68, ending in a backslash. */
typedef struct HostAppRecord {
    uint8_t reserved[68];
    HostWString ideFolder;
} HostAppRecord;

/* A theme record (ORVINTASTART, WINTHEMECHANGE, CODETHEMECHANGE): the theme's name and
 * 30 entries of five 32-bit words whose meaning is the host's. */
#define HOST_THEME_ENTRIES 30
typedef struct HostThemeRecord {
    HostString name;
    int32_t entries[HOST_THEME_ENTRIES][5];
} HostThemeRecord;

/* A tree-node record as the IDE builds one for the help window's page message (0x501):
 * which row of which library, and whether it is a category (1) or an entry (0). The help
 * window reads id, isCategory, lib and type; the name is the sender's. */
typedef struct HostTreeNodeRecord {
    int32_t id;
    HostString name;
    int32_t parentId;
    int32_t isCategory;
    int32_t lib;
    int32_t type;
} HostTreeNodeRecord;

/* Assigns bytes to a descriptor the way the runtime's string assignment does: the
 * allocation is reused when large enough, else replaced. Returns 0 when out of memory
 * (the descriptor is then left as it was). */
static inline int hostStringAssign(HostString* s, const char* bytes, int32_t length) {
    if (s->data == NULL || s->size < length + 1) {
        char* grown = (char*)realloc(s->data, (size_t)length + 1);
        if (grown == NULL) return 0;
        s->data = grown;
        s->size = length + 1;
    }
    if (length > 0) memcpy(s->data, bytes, (size_t)length);
    s->data[length] = '\0';
    s->length = length;
    return 1;
}

static inline void hostStringFree(HostString* s) {
    free(s->data);
    s->data = NULL;
    s->length = s->size = 0;
}

/* Sizes a table for rows x columns empty strings. Returns 0 when out of memory. */
static inline int hostTableResize(HostTable* t, int32_t rows, int32_t columns) {
    HostString* cells = (HostString*)calloc((size_t)rows * (size_t)columns + 1, sizeof(HostString));
    if (cells == NULL) return 0;
    t->cells = cells;
    t->rows = rows;
    t->columns = columns;
    return 1;
}

static inline void hostTableFree(HostTable* t) {
    if (t->cells != NULL) {
        for (int32_t i = 0; i < t->rows * t->columns; ++i) hostStringFree(&t->cells[i]);
        free(t->cells);
    }
    t->cells = NULL;
    t->rows = t->columns = 0;
}

/* The host's services (all pop their own arguments). L is the library index. */
typedef HostAppRecord* (HOST_CALL* GETEXEAPP_fn)(void);
typedef int32_t (HOST_CALL* INSERTTOOL_fn)(int32_t a, int32_t b, int32_t c, int32_t commandId, int32_t zero,
                                           HostString* tip, HostString* icon);
typedef int32_t (HOST_CALL* SQLITEBOX_FIND_fn)(int32_t L, HostWString table, HostWString where, HostTable* result,
                                               HostWString fields, HostWString order, int32_t one, int32_t limit);
typedef int32_t (HOST_CALL* SQLITEBOX_FINDONE_fn)(int32_t L, HostWString table, HostWString where, HostTable* row,
                                                  HostWString fields, HostWString order);
typedef int32_t (HOST_CALL* SQLITEBOX_FINDONLY_fn)(int32_t L, HostWString table, HostWString where,
                                                   HostWString field, HostWString order, HostString* out);
typedef int32_t (HOST_CALL* SQLITEBOX_COUNT_fn)(int32_t L, HostWString table, HostWString where);
typedef int32_t (HOST_CALL* SQLITEBOX_ADDITEM_fn)(int32_t L, HostWString table, HostWString assignments);
typedef int32_t (HOST_CALL* SQLITEBOX_ADDITEMUTF_fn)(int32_t L, HostString* table, HostString* assignments);
typedef int32_t (HOST_CALL* SQLITEBOX_UPDATE_fn)(int32_t L, HostWString table, HostWString where,
                                                 HostWString assignments);
typedef int32_t (HOST_CALL* SQLITEBOX_UPDATEUTF_fn)(int32_t L, HostString* table, HostString* where,
                                                    HostString* assignments);
typedef int32_t (HOST_CALL* SQLITEBOX_DELETEITEM_fn)(int32_t L, HostWString table, HostWString where);
typedef int32_t (HOST_CALL* SQLITEBOX_MAXID_fn)(int32_t L, HostWString table, HostWString field, HostWString where);
typedef void (HOST_CALL* SQLITEBOX_TRANSACTION_fn)(int32_t L, int32_t commit);
typedef void (HOST_CALL* SQLITEBOX_VACUUM_fn)(int32_t L);
typedef void (HOST_CALL* SQLITEBOX_ERRMSG_fn)(int32_t L, HostString* out);

/* The plug-in's exports, as the host calls them. */
typedef int32_t (HOST_CALL* INITIALIZATION_fn)(HostString* name, HostString* description);
typedef void (HOST_CALL* MENUADD_fn)(int32_t a, int32_t menuIndex, int32_t c, int32_t d);
typedef void (HOST_CALL* TOOLADD_fn)(int32_t* nextCommandId);
typedef int32_t (HOST_CALL* MENUCOMMAND_fn)(int32_t commandId);
typedef void (HOST_CALL* ORVINTASTART_fn)(const HostThemeRecord* codeTheme, const HostThemeRecord* windowTheme);
typedef int32_t (HOST_CALL* ORVINTACLOSE_fn)(int32_t unused);
typedef void (HOST_CALL* THEMECHANGE_fn)(const HostThemeRecord* theme);
typedef int32_t (HOST_CALL* CODEATTEMPTAUTOINSERT_fn)(int32_t a);
typedef int32_t (HOST_CALL* COMPILENOTICE_fn)(int32_t a, int32_t b);

/* The services the plug-in calls, X(NAME) in the order of kCalledServices, each with its
 * pointer type NAME_fn. */
#define HOST_CALLED_SERVICES(X)                                                             \
    X(GETEXEAPP) X(INSERTTOOL) X(SQLITEBOX_FIND) X(SQLITEBOX_FINDONE) X(SQLITEBOX_FINDONLY)    \
    X(SQLITEBOX_COUNT) X(SQLITEBOX_ADDITEM) X(SQLITEBOX_ADDITEMUTF) X(SQLITEBOX_UPDATE)        \
    X(SQLITEBOX_UPDATEUTF) X(SQLITEBOX_DELETEITEM) X(SQLITEBOX_MAXID) X(SQLITEBOX_TRANSACTION) \
    X(SQLITEBOX_VACUUM) X(SQLITEBOX_ERRMSG)

/* The plug-in's whole export table: X(NAME, pointer type, bytes of arguments). The 32-bit
 * export table names each NAME@bytes, which is what the host looks up. */
#define HOST_PLUGIN_EXPORTS(X)                              \
    X(INITIALIZATION, INITIALIZATION_fn, 8)                 \
    X(MENUADD, MENUADD_fn, 16)                              \
    X(TOOLADD, TOOLADD_fn, 4)                               \
    X(MENUCOMMAND, MENUCOMMAND_fn, 4)                       \
    X(ORVINTASTART, ORVINTASTART_fn, 8)                     \
    X(ORVINTACLOSE, ORVINTACLOSE_fn, 4)                     \
    X(CODEATTEMPTAUTOINSERT, CODEATTEMPTAUTOINSERT_fn, 4)   \
    X(COMPILESTART, COMPILENOTICE_fn, 8)                    \
    X(COMPILEEND, COMPILENOTICE_fn, 8)                      \
    X(WINTHEMECHANGE, THEMECHANGE_fn, 4)                    \
    X(CODETHEMECHANGE, THEMECHANGE_fn, 4)

#ifdef __cplusplus
}
#endif

#endif /* ORV_HOST_ABI_H */
