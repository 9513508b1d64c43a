// Copies of the library files named with the time they were made.
#include "tools/backup.h"

#include "library/paths.h"
#include "library/schema.h"
#include "library/udate.h"
#include "text/encoding.h"

#include <cstdio>
#include <filesystem>

namespace orv::tools {

namespace fs = std::filesystem;

namespace {

fs::path toPath(const std::string& utf8) {
#ifdef _WIN32
    const std::u16string w = text::utf8ToUtf16(utf8);
    return fs::path(std::wstring(w.begin(), w.end()));
#else
    return fs::path(utf8);
#endif
}

// Copies one file; "" on success, else why not.
std::string copyOne(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!fs::is_regular_file(toPath(from), ec)) return from + " 不存在";
    fs::copy_file(toPath(from), toPath(to), fs::copy_options::overwrite_existing, ec);
    return ec ? to + "：" + ec.message() : std::string();
}

}  // namespace

std::string backupStamp(const std::tm& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d年%02d月%02d日%02d时%02d分%02d秒", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

BackupResult BackupLibraries(const std::string& ideFolder, const std::tm& local) {
    const std::string stamp = backupStamp(local);
    const std::string pubFrom = library::ideFile(ideFolder, library::kPublicFile);
    const std::string pubTo = library::ideFile(ideFolder, "Settings\\" + stamp + "_PubHelp.db");
    const std::string priFrom = library::ideFile(ideFolder, library::kPrivateFile);
    const std::string priTo = library::ideFile(ideFolder, "Private\\" + stamp + "_PriHelp.db");
    std::string failures;
    for (const auto& [from, to] : {std::pair{pubFrom, pubTo}, std::pair{priFrom, priTo}}) {
        const std::string why = copyOne(from, to);
        if (!why.empty()) failures += "\r\n" + why;
    }
    if (!failures.empty()) return {false, "备份失败！" + failures};
    return {true, "完成备份！\r\n公库文件：-------------------------------\r\n从：" + pubFrom + "\r\n到：" + pubTo +
                      "\r\n私库文件：-------------------------------\r\n从：" + priFrom + "\r\n到：" + priTo};
}

void runBackup(const std::string& ideFolder, library::Prompter& prompter) {
    const BackupResult result = BackupLibraries(ideFolder, library::localNow());
    prompter.message(result.message, result.ok ? library::MessageKind::Information : library::MessageKind::Error);
}

}  // namespace orv::tools
