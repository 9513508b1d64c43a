// libFuzzer target: arbitrary bytes as a header file, read, scanned and written into an
// in-memory library by the extractor, as one file of an import run. The first byte picks
// the extraction mode and the duplicate rule; the rest is the file.
// After every input the library must hold complete entries only: each placement with its
// texts, each member under an owner that can have members.
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "tools/extractor.h"
#include "library/plain_progress.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

using namespace orv;
namespace fs = std::filesystem;

namespace {

class SilentPrompter : public library::Prompter {
public:
    void message(std::string_view, library::MessageKind) override {}
    bool ask(std::string_view) override { return false; }
};

struct Harness {
    Harness() {
        std::string error;
        if (!db.openInMemory(library::kPublic, library::kPublic, error) ||
            !db.openInMemory(library::kPrivate, library::kPrivate, error)) {
            std::fprintf(stderr, "cannot open the in-memory libraries: %s\n", error.c_str());
            __builtin_trap();
        }
        // A public name for the duplicate rules to meet.
        db.addItemUtf(library::kPublic, library::tables::KeywordData, "KeyWord='Foo',UKeyWord='FOO',nType=2");
        folder = fs::temp_directory_path() / ("orv-import-fuzz-" + std::to_string(getpid()));
        fs::create_directories(folder);
        file = (folder / "input.bi").string();
    }

    void clear() {
        for (std::string_view table : {library::tables::KeywordList, library::tables::KeywordData,
                                       library::tables::Directory})
            db.deleteItem(library::kPrivate, table, "1=1");
    }

    library::SqliteHostDb db;
    fs::path folder;
    std::string file;
};

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken library after the import: %s\n", what);
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Harness h;
    if (size == 0) return 0;
    {
        std::ofstream out(h.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    tools::RunSettings settings;
    settings.mode = data[0] & 1 ? tools::ExtractionMode::Source : tools::ExtractionMode::Reference;
    settings.duplicateRule = static_cast<tools::DuplicateRule>((data[0] >> 1) & 3);
    settings.rootFolder = h.folder.string() + "/";
    settings.publicSidLimit = h.db.maxId(library::kPublic, library::tables::KeywordData, "sID", "");
    tools::RunStatistics statistics;
    SilentPrompter prompter;
    library::PlainProgress progress;
    tools::Extractor extractor(h.db, prompter, progress, settings, statistics);
    check(extractor.ExtractFile(1, h.file) == 1, "the extraction failed");
    check(h.db.count(library::kPrivate, library::tables::KeywordList,
                     "sID Not In (Select sID From KeywordData)") == 0,
          "a placement without its texts");
    check(h.db.count(library::kPrivate, library::tables::KeywordList,
                     "nType>=20 And dID Not In (Select kID From KeywordList Where nType In (5,7,8))") == 0,
          "a member without an owner");
    h.clear();
    return 0;
}
