// Copies of the library files named with the time they were made, checked against the
// files they copy.
#include "tools/backup.h"

#include "library/paths.h"
#include "library/schema.h"
#include "library/udate.h"
#include "os/os.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orv::tools {

namespace fs = std::filesystem;

namespace {

struct LibraryFile {
    int lib;
    std::string_view label;  // how the messages name the library
    std::string from;
    std::string to;
};

// Whether both files can be read to their end and hold the same bytes.
bool sameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream inA(a, std::ios::binary), inB(b, std::ios::binary);
    if (!inA || !inB) return false;
    static constexpr std::size_t kChunk = 1 << 16;
    std::string bufA(kChunk, '\0'), bufB(kChunk, '\0');
    while (true) {
        inA.read(bufA.data(), kChunk);
        inB.read(bufB.data(), kChunk);
        const std::streamsize n = inA.gcount();
        if (n != inB.gcount() || bufA.compare(0, static_cast<std::size_t>(n), bufB, 0, static_cast<std::size_t>(n)) != 0)
            return false;
        if (inA.bad() || inB.bad()) return false;
        if (n < static_cast<std::streamsize>(kChunk)) return inA.eof() && inB.eof();
    }
}

// Copies one file and reads the copy back; "" on success, else why not.
std::string copyOne(const std::string& from, const std::string& to) {
    std::error_code ec;
    const fs::path source = os::pathFromUtf8(from), copy = os::pathFromUtf8(to);
    if (!fs::is_regular_file(source, ec)) return from + " 不存在";
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) return to + "：" + ec.message();
    const std::uintmax_t sourceSize = fs::file_size(source, ec);
    const std::uintmax_t copySize = ec ? 0 : fs::file_size(copy, ec);
    if (ec || copySize != sourceSize) return to + "：副本大小与原文件不同";
    if (!sameBytes(source, copy)) return to + "：副本无法读回或与原文件不同";
    return std::string();
}

std::array<LibraryFile, 2> libraryFiles(const std::string& ideFolder, const std::tm& local) {
    const std::string stamp = backupStamp(local);
    return {{{library::kPublic, "公库", library::ideFile(ideFolder, library::kPublicFile),
              library::ideFile(ideFolder, "Settings\\" + stamp + "_PubHelp.db")},
             {library::kPrivate, "私库", library::ideFile(ideFolder, library::kPrivateFile),
              library::ideFile(ideFolder, "Private\\" + stamp + "_PriHelp.db")}}};
}

std::string copyAll(const std::array<LibraryFile, 2>& files) {
    std::string failures;
    for (const LibraryFile& f : files) {
        const std::string why = copyOne(f.from, f.to);
        if (!why.empty()) failures += "\r\n" + why;
    }
    return failures;
}

BackupResult result(const std::array<LibraryFile, 2>& files, const std::string& failures) {
    if (!failures.empty()) return {false, "备份失败！" + failures};
    const LibraryFile& pub = files[0];
    const LibraryFile& pri = files[1];
    return {true, "完成备份！\r\n公库文件：-------------------------------\r\n从：" + pub.from + "\r\n到：" + pub.to +
                      "\r\n私库文件：-------------------------------\r\n从：" + pri.from + "\r\n到：" + pri.to};
}

}  // namespace

std::string backupStamp(const std::tm& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d年%02d月%02d日%02d时%02d分%02d秒", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

BackupResult BackupLibraries(library::HostDb& db, const std::string& ideFolder, const std::tm& local) {
    const std::array<LibraryFile, 2> files = libraryFiles(ideFolder, local);
    std::string failures;
    std::size_t held = 0;
    for (; held < files.size(); ++held) {
        if (!db.transaction(files[held].lib, library::TransactionStep::Begin)) {
            failures = "\r\n" + std::string(files[held].label) + "无法锁定：" + db.errMsg(files[held].lib);
            break;
        }
    }
    // A copy made while a write may be under way could hold half of it: none is made.
    if (held == files.size()) failures = copyAll(files);
    while (held > 0) {
        const LibraryFile& f = files[--held];
        if (!db.transaction(f.lib, library::TransactionStep::Commit))
            failures += "\r\n" + std::string(f.label) + "无法解锁：" + db.errMsg(f.lib);
    }
    return result(files, failures);
}

void runBackup(library::HostDb& db, const std::string& ideFolder, library::Prompter& prompter) {
    const BackupResult r = BackupLibraries(db, ideFolder, library::localNow());
    prompter.message(r.message, r.ok ? library::MessageKind::Information : library::MessageKind::Error);
}

}  // namespace orv::tools
