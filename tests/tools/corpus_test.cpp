// Real declarations from the shared header corpus, read through ReadSourceText and the
// statement readers; each expectation was checked by reading the header itself.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"
#include "tools/source_text.h"
#include "tools/statement_text.h"

using namespace orv::tools;
using namespace orv::library;

namespace {

struct CorpusCase {
    std::string_view file;       // under corpus/fbc-inc
    std::string_view statement;  // how the statement's first line begins
    StatementReader reader;
    std::string_view name;
    int type;
    std::string_view member;     // the statement entry's Member
    std::string_view syntax;     // the statement entry's Syntax up to its first line end
    std::size_t entries;
    std::string_view endsOn;     // the line the reader leaves the index on, trimmed
};

const CorpusCase kCases[] = {
    {"zlib.bi", "type z_stream_s", ReadType, "z_stream_s", kEntryDefinedType,
     "next_in<AS:Bytef ptr><'>\r\navail_in<AS:uInt><'>\r\ntotal_in<AS:uLong_><'>\r\n"
     "next_out<AS:Bytef ptr><'>\r\navail_out<AS:uInt><'>\r\ntotal_out<AS:uLong_><'>\r\n"
     "msg<AS:zstring ptr><'>\r\nstate<AS:internal_state ptr><'>\r\nzalloc<AS:alloc_func><'>\r\n"
     "zfree<AS:free_func><'>\r\nopaque<AS:voidpf><'>\r\ndata_type<AS:long><'>\r\n"
     "adler<AS:uLong_><'>\r\nreserved<AS:uLong_><'>",
     "Type z_stream_s", 15, "end type"},
    {"zlib.bi", "type voidpc as", ReadType, "voidpc", kEntryAlias, "CONST ANY PTR",
     "Type voidpc as const any ptr", 1, "type voidpc as const any ptr"},
    {"zlib.bi", "#define ZLIB_VERSION", ReadDefine, "ZLIB_VERSION", kEntryMacro, "\"1.2.8\"",
     "#define ZLIB_VERSION \"1.2.8\"", 1, "#define ZLIB_VERSION \"1.2.8\""},
    {"zlib.bi", "#define deflateInit(", ReadDefine, "deflateInit", kEntryMacro,
     "deflateInit_((strm), (level), ZLIB_VERSION, clng(sizeof(z_stream)))",
     "#define deflateInit(strm, level) deflateInit_((strm), (level), ZLIB_VERSION, clng(sizeof(z_stream)))",
     1, "#define deflateInit(strm, level) deflateInit_((strm), (level), ZLIB_VERSION, clng(sizeof(z_stream)))"},
    {"zlib.bi", "const ZLIB_VERNUM", ReadConstants, "ZLIB_VERNUM", kEntryConstant, "",
     "CONST ZLIB_VERNUM = &h1280", 1, "const ZLIB_VERNUM = &h1280"},
    {"zlib.bi", "declare function zlibVersion", ReadProcedure, "zlibVersion", kEntryFunction,
     "CONST ZSTRING PTR", "declare function zlibVersion() as const zstring ptr", 1,
     "declare function zlibVersion() as const zstring ptr"},
    {"utf_conv.bi", "enum UTF_ENCOD", ReadEnum, "UTF_ENCOD", kEntryEnum,
     "UTF_ENCOD_ASCII<AS:><'>\r\nUTF_ENCOD_UTF8<AS:><'>\r\nUTF_ENCOD_UTF16<AS:><'>\r\n"
     "UTF_ENCOD_UTF32<AS:><'>",
     "Enum UTF_ENCOD", 5, "end enum"},
    {"utf_conv.bi", "declare function CharToUTF", ReadProcedure, "CharToUTF", kEntryFunction,
     "ANY PTR",
     "declare function CharToUTF alias \"fb_CharToUTF\"  (  byval encod as long,  "
     "byval src as zstring ptr,  byval chars as integer,  byval dst as any ptr,  "
     "byval bytes as integer ptr  ) as any ptr",
     1, ") as any ptr"},
    {"FLTK/Fl_Tiled_Image.bi", "type Fl_Tiled_Image", ReadType, "Fl_Tiled_Image",
     kEntryDefinedType,
     "<CON>constructor<AS:>( i as Fl_Image ptr, W as long= 0, H as long= 0)<'>\r\n"
     "<DES>destructor<AS:>()<'>\r\n<FUN>copy<AS:Fl_Image ptr>(W as long, H as long)<'>\r\n"
     "<FUN>copy<AS:Fl_Image ptr>()<'>\r\n<SUB>color_average<AS:>(c as Fl_Color, i as single)<'>\r\n"
     "<SUB>desaturate<AS:>()<'>\r\n"
     "<SUB>draw<AS:>(X as long, Y as long, W as long, H as long, cx as long, cy as long)<'>\r\n"
     "<SUB>draw<AS:>(X as long, Y as long)<'>\r\n<FUN>image<AS:Fl_Image ptr>()<'>",
     "Type Fl_Tiled_Image extends Fl_Image", 8, "end type"},
    {"FLTK/Fl_Tiled_Image.bi", "private function Fl_Tiled_Image.copy", ReadProcedure, "", 0, "",
     "", 0, "end function"},
    {"lzo/lzoconf.bi", "union lzo_align_t", ReadUnion, "lzo_align_t", kEntryUnion,
     "a00<AS:lzo_voidp><'>\r\na01<AS:lzo_bytep><'>\r\na02<AS:lzo_uint><'>\r\na03<AS:lzo_xint><'>\r\n"
     "a04<AS:lzo_uintptr_t><'>\r\na05<AS:any ptr><'>\r\na06<AS:ubyte ptr><'>\r\na07<AS:culong><'>\r\n"
     "a08<AS:uinteger><'>\r\na09<AS:integer><'>\r\na10<AS:lzo_uint64_t><'>",
     "Union lzo_align_t", 12, "end union"},
    {"atk/atk.bi", "#macro ATK_DEFINE_TYPE_WITH_CODE", ReadMacro, "ATK_DEFINE_TYPE_WITH_CODE",
     kEntryMacro,
     "_ATK_DEFINE_TYPE_EXTENDED_BEGIN(TN, t_n, T_P, 0)\r\nscope\r\n_C_\r\nend scope\r\n"
     "_ATK_DEFINE_TYPE_EXTENDED_END()",
     "#macro ATK_DEFINE_TYPE_WITH_CODE(TN, t_n, T_P, _C_)", 1, "#endmacro"},
    {"glib-object.bi", "dim shared as gpointer type_name##_parent_class", ReadVariables,
     "type_name##_parent_class", kEntryVariable, "GPOINTER",
     "dim Shared type_name##_parent_class As gpointer = NULL", 1,
     "dim shared as gpointer type_name##_parent_class = NULL"},
};

std::filesystem::path corpusFolder() {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    return shared ? std::filesystem::path(shared) / "corpus" / "fbc-inc" : std::filesystem::path();
}

}  // namespace

TEST(Corpus, WellKnownDeclarationsReadAsWritten) {
    const std::filesystem::path folder = corpusFolder();
    if (folder.empty() || !std::filesystem::is_directory(folder))
        GTEST_SKIP() << "header corpus not found: set ORV_SHARED_DIR to the shared folder";
    for (const CorpusCase& c : kCases) {
        SCOPED_TRACE(std::string(c.file) + ": " + std::string(c.statement));
        const auto text = ReadSourceText((folder / c.file).u8string());
        ASSERT_TRUE(text.has_value());
        const SourceLines lines = SplitSourceLines(*text);
        std::size_t index = 0;
        while (index < lines.size() && trim(lines[index]).substr(0, c.statement.size()) != c.statement)
            ++index;
        ASSERT_LT(index, lines.size()) << "statement not in the file";
        std::string block;
        const ExtractedEntries entries = c.reader(lines, index, block);
        EXPECT_EQ(trim(lines[index]), c.endsOn);
        ASSERT_EQ(entries.size(), c.entries);
        if (entries.empty()) continue;
        const ExtractedEntry& e = entries.front();
        EXPECT_EQ(e.KeyWord, c.name);
        EXPECT_EQ(e.nType, c.type);
        EXPECT_EQ(e.Member, c.member);
        EXPECT_EQ(e.Syntax.substr(0, e.Syntax.find("\r\n")), c.syntax);
        for (std::size_t i = 1; i < entries.size(); ++i)
            EXPECT_GE(entries[i].nType, kFirstMemberType) << entries[i].KeyWord;
    }
}
