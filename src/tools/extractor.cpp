// Extracting header files and folder trees into the private library.
#include "tools/extractor.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "library/fragment.h"
#include "library/schema.h"
#include "os/os.h"
#include "text/ascii.h"
#include "tools/entry_completion.h"
#include "tools/entry_writer.h"
#include "tools/source_text.h"

namespace orv::tools {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtractingFile = "提取文件：";
constexpr std::string_view kHeaderExtensions[] = {".BI", ".INC"};

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isHeaderName(const std::string& name) {
    const std::string u = text::toUpperAscii(name);
    for (const std::string_view ext : kHeaderExtensions)
        if (u.size() >= ext.size() && u.compare(u.size() - ext.size(), ext.size(), ext) == 0)
            return true;
    return false;
}

struct FolderItem {
    std::string name;
    bool folder;
};

// The folder's items in the order the file system gives them. Links to folders are
// not followed, so a link loop cannot make the walk endless.
std::vector<FolderItem> listFolder(const std::string& folderPath) {
    std::vector<FolderItem> items;
    std::error_code ec;
    for (fs::directory_iterator it(os::pathFromUtf8(folderPath), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code statusError;
        const bool link = it->is_symlink(statusError);
        const bool folder = !link && it->is_directory(statusError);
        items.push_back({it->path().filename().u8string(), folder});
    }
    return items;
}

}  // namespace

Extractor::Extractor(library::HostDb& db, library::Prompter& prompter, library::Progress& progress,
                     RunSettings settings, RunStatistics& statistics)
    : db_(db), prompter_(prompter), progress_(progress), settings_(std::move(settings)),
      statistics_(statistics), knownNames_(db, settings_) {}

long long AddImportCategory(library::HostDb& db, long long parentId, std::string_view name,
                            const RunSettings& settings) {
    library::Assignments row;
    row.addText("DirName", name).add("ParentDir", parentId).addText("Description", "")
        .add("nType", library::kCategoryShownInIde).add("uID", settings.uID)
        .add("uDate", settings.uDate);
    return db.addItemUtf(library::kPrivate, library::tables::Directory, row.str());
}

long long Extractor::addFileCategory(long long parentId, const std::string& name) {
    const long long id = AddImportCategory(db_, parentId, name, settings_);
    if (id < 1)
        prompter_.message(library::failedAddMessage(db_, library::kPrivate), library::MessageKind::Error);
    return id;
}

bool Extractor::storeWholeFile(long long categoryId, const std::string& fileName,
                               const std::string& text) {
    const std::string name = fileName.substr(0, fileName.rfind('.'));
    library::Assignments data;
    data.addText("KeyWord", name).addText("UKeyWord", text::toUpperAscii(name))
        .addText("Source", text).add("Platform", library::kPlatformBoth)
        .add("Attribute", library::kAttrHelpDocument).add("nType", library::kEntryOther)
        .add("uID", settings_.uID).add("uDate", settings_.uDate);
    library::Assignments list;
    list.add("dID", categoryId).addText("DisplayKeyWord", name).add("nType", library::kEntryOther);
    return AddEntryRows(db_, statistics_, name, data.str(), list.str()) >= 1;
}

int Extractor::ExtractFile(long long categoryId, const std::string& filePath) {
    const std::optional<std::string> text = ReadSourceText(filePath);
    if (!text) {
        prompter_.message(std::string(kUnreadableFileMessage) + filePath, library::MessageKind::Error);
        return 0;
    }
    const std::string fileName = fileNameOf(filePath);
    progress_.SetProgressText(std::string(kExtractingFile) + fileName);
    ++statistics_.filesRead;
    FileTarget target{categoryId, IncludePath(filePath, settings_.rootFolder), &*text};
    if (settings_.mode == ExtractionMode::Reference) {
        target.categoryId = addFileCategory(categoryId, fileName);
        if (target.categoryId < 1) return 0;
    }
    EntryWriter writer(db_, settings_, statistics_, knownNames_, target);
    const ScanResult scan = ScanLines(
        SplitSourceLines(*text), settings_.mode, [this] { return progress_.stopRequested(); },
        [&writer](ExtractedEntries& entries, std::size_t firstLine) {
            return writer.write(entries, firstLine);
        });
    if (scan.failed) return 0;
    if (settings_.mode == ExtractionMode::Source && scan.statements == 0 && !scan.stopped &&
        !storeWholeFile(categoryId, fileName, *text))
        return 0;
    return 1;
}

int Extractor::ExtractFolder(long long categoryId, const std::string& folderPath) {
    // Sub-folders are named with the separator the caller's path uses.
    const char separator = !folderPath.empty() && folderPath.back() == '/' ? '/' : '\\';
    for (const FolderItem& item : listFolder(folderPath)) {
        if (progress_.stopRequested()) return 1;
        progress_.StepProgress(0);
        if (item.folder) {
            const long long id = addFileCategory(categoryId, item.name);
            if (id < 1) return 0;
            if (ExtractFolder(id, folderPath + item.name + separator) == 0) return 0;
        } else if (isHeaderName(item.name)) {
            if (ExtractFile(categoryId, folderPath + item.name) == 0) return 0;
        }
    }
    return 1;
}

}  // namespace orv::tools
