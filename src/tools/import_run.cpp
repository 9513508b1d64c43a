// The header import run and its report.
#include "tools/import_run.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "library/fragment.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/udate.h"
#include "os/os.h"
#include "tools/extractor.h"

namespace orv::tools {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgressText = "制作帮助数据库中...";
constexpr std::string_view kRootSuffix = "制作";
constexpr std::string_view kDone = "制作完成！";

struct TypeLabel {
    int type;
    std::string_view label;
};
constexpr TypeLabel kReportedTypes[] = {
    {1, "1语句"}, {2, "2过程"},  {3, "3函数"},  {4, "4标准类型"}, {5, "5定义类型"},
    {6, "6别名"}, {7, "7枚举"},  {8, "8联合"},  {9, "9常量"},     {10, "10宏"},
    {11, "11变量"}, {20, "20成员"}, {21, "21枚举成员"},
};
constexpr std::string_view kRuleNames[] = {"全部新增", "只增私库", "只增公库", "不新增"};

std::string blue(const std::string& value) { return "<font color=\"#3300ff\">" + value + "</font>"; }

bool isFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(os::pathFromUtf8(path), ec);
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(os::pathFromUtf8(path), ec);
}

std::string folderOf(const std::string& filePath) {
    const std::size_t slash = filePath.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : filePath.substr(0, slash + 1);
}

// The path checks; on a rejection the message has been shown.
ImportRejection checkPath(const ImportRequest& request, std::string& path,
                          library::Prompter& prompter) {
    const auto reject = [&](ImportRejection why, std::string_view text) {
        prompter.message(text, library::MessageKind::Error);
        return why;
    };
    if (request.scope == ImportScope::File) {
        if (path.empty()) return reject(ImportRejection::NoFile, "未选择目标文件！");
        if (!isFile(path)) return reject(ImportRejection::MissingFile, "目标文件不存在！");
        return ImportRejection::None;
    }
    if (path.empty()) return reject(ImportRejection::NoFolder, "未选择目标文件夹！");
    // The folder dialog ends the path with a separator; a typed path may lack it.
    path = library::withTrailingSeparator(path);
    if (!isFolder(path.substr(0, path.size() - 1)))
        return reject(ImportRejection::MissingFolder, "目标文件夹不存在！");
    return ImportRejection::None;
}

long long accountId(library::HostDb& db, const std::string& accountName) {
    if (accountName.empty()) return 0;
    return library::toInt(db.findOnly(library::kPublic, library::tables::User,
                                      "uName=" + library::quoteText(accountName), "uID", ""));
}

}  // namespace

int importPlatform(bool onWindows, bool onLinux) {
    if (onWindows && onLinux) return library::kPlatformBoth;
    return onLinux ? library::kPlatformLinux : library::kPlatformWindows;
}

std::string ImportReport(ImportScope scope, ExtractionMode mode, DuplicateRule rule,
                         const ReportTimes& times, const RunStatistics& s) {
    std::string r = "<div class=\"panel\"><div class=\"panel-head\"><strong>制作报告</strong></div>"
                    "<div class=\"panel-body\"><strong>提取范围</strong>=";
    r += scope == ImportScope::File ? "单文件" : "文件夹";
    r += "，<strong>提取方式</strong>=";
    r += mode == ExtractionMode::Reference ? "引用文件" : "源码";
    r += "，<strong>重复处理</strong>=";
    r += kRuleNames[static_cast<int>(rule)];
    r += "<br><strong>开始时间</strong>=[" + blue(times.start) + "] <strong>结束时间</strong>=[" +
         blue(times.end) + "] <strong>耗时</strong>=[" + blue(std::to_string(times.elapsedSeconds)) +
         "]秒<br>";
    r += "提取文件数：" + blue(std::to_string(s.filesRead)) + "，库个数：" +
         blue(std::to_string(s.referenceEntries)) + "，源码个数：" +
         blue(std::to_string(s.sourceEntries)) + "<br>";
    r += "类型个数：0其它=<font color=\"#3300ff\">" + std::to_string(s.typeCounts[0]);
    for (const TypeLabel& t : kReportedTypes)
        r += "</font>," + std::string(t.label) + "=<font color=\"#3300ff\">" +
             std::to_string(s.typeCounts[t.type]);
    r += "</font><br>";
    r += "<strong>发生重复关键词名称情况：</strong><br>";
    r += s.duplicateList.empty() ? "没有重复发生" : s.duplicateList;
    r += "<strong>发生写入数据库错误而没写入的情况：</strong><br>";
    r += s.errorList.empty() ? "没有错误发生" : s.errorList;
    r += "</div></div>";
    return r;
}

ImportOutcome RunImport(library::HostDb& db, library::Prompter& prompter, library::Progress& progress,
                        const ImportRequest& request) {
    ImportOutcome outcome;
    std::string path = request.path;
    outcome.rejection = checkPath(request, path, prompter);
    if (outcome.rejection != ImportRejection::None) return outcome;

    RunSettings settings;
    settings.uID = accountId(db, request.accountName);
    settings.uDate = library::uDateNow();
    outcome.rootId = AddImportCategory(
        db, 0, library::localTimestamp() + std::string(kRootSuffix), settings);
    if (outcome.rootId < 1) {
        prompter.message(library::failedAddMessage(db, library::kPrivate), library::MessageKind::Error);
        outcome.rejection = ImportRejection::RootCategory;
        outcome.rootId = 0;
        return outcome;
    }

    if (!db.transaction(library::kPrivate, library::TransactionStep::Begin)) {
        prompter.message(library::failedAddMessage(db, library::kPrivate), library::MessageKind::Error);
        outcome.rejection = ImportRejection::Transaction;
        return outcome;
    }
    progress.OpenProgress(kProgressText, 1, 100, true);
    settings.mode = request.mode;
    settings.duplicateRule = request.duplicateRule;
    settings.platform = request.platform;
    const auto started = std::chrono::steady_clock::now();
    ReportTimes times;
    times.start = library::localTimestamp();
    settings.publicSidLimit = db.maxId(library::kPublic, library::tables::KeywordData, "sID", "");
    settings.privateSidLimit = db.maxId(library::kPrivate, library::tables::KeywordData, "sID", "");

    // A failed or stopped extraction still gets its report, with what it did so far.
    if (request.scope == ImportScope::File) {
        settings.rootFolder = folderOf(path);
        Extractor(db, prompter, progress, settings, outcome.statistics).ExtractFile(outcome.rootId, path);
    } else {
        settings.rootFolder = path;
        Extractor(db, prompter, progress, settings, outcome.statistics).ExtractFolder(outcome.rootId, path);
    }

    times.elapsedSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
    times.end = library::localTimestamp();
    outcome.report = ImportReport(request.scope, request.mode, request.duplicateRule, times, outcome.statistics);
    const long long stored =
        db.update(library::kPrivate, library::tables::Directory, "dID=" + std::to_string(outcome.rootId),
                  "Description='" + library::doubleApostrophes(outcome.report) + "'");
    const std::string storeError = stored < 1 ? db.errMsg(library::kPrivate) : std::string();
    outcome.committed = db.transaction(library::kPrivate, library::TransactionStep::Commit);
    progress.CloseProgress();
    if (!outcome.committed) {
        // Nothing of the run is in the library: saying it is done would be false.
        prompter.message(library::failedAddMessage(db, library::kPrivate), library::MessageKind::Error);
        return outcome;
    }
    // The entries are in; only the page of the root category is missing.
    if (stored < 1)
        prompter.message("制作报告未能保存！\r\n错误信息：\r\n" + storeError,
                         library::MessageKind::Error);
    prompter.message(kDone, library::MessageKind::Information);
    return outcome;
}

}  // namespace orv::tools
