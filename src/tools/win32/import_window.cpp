// The import window: its controls at their places, the file and folder dialogs, and the
// three tools over their cores (the import run, the backup, direct statements). Win32
// only; every message runs inside the form layer's guard.
#include "tools/win32/import_window.h"

#include "framework/colour.h"
#include "framework/window_styles.h"
#include "framework/win32/controls.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box_prompter.h"
#include "library/paths.h"
#include "library/schema.h"
#include "text/win32/wide_text.h"
#include "framework/win32/operations.h"
#include "tools/backup.h"
#include "tools/direct_sql.h"
#include "tools/import_run.h"
#include "tools/win32/progress_window.h"
#include "tools/win32/query_window.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

namespace orv::tools {
namespace {

HWND g_import = nullptr;

constexpr int kWidth = 888;
constexpr int kHeight = 459;
constexpr const char* kFont = "Microsoft YaHei,9,0";
enum : int {
    kSchemaText = 102, kFileOption = 105, kFolderOption = 106, kFileText = 107, kFileButton = 108,
    kFolderText = 109, kFolderButton = 110, kReferenceOption = 112, kSourceOption = 113, kAddAllOption = 116,
    kRun = 120, kBackup = 121, kPrivateOption = 123, kPublicOption = 124, kMemoryOption = 125, kCondition = 126,
    kAuxiliary = 129, kUpdateOption = 130, kDeleteOption = 131, kQueryOption = 132, kDirectoryOption = 133,
    kKeywordListOption = 134, kKeywordDataOption = 135, kExecute = 136, kWindowsCheck = 139, kLinuxCheck = 140
};
// The duplicate rules' options, in the rule's order.
constexpr int kRuleOptions[] = {116, 117, 118, 119};

constexpr std::string_view kSchemaLines[] = {
    "数据库表说明：",
    "分类表，表名为 \"Directory\" ",
    "\"dID\"         '0(数值)分类ID",
    "\"DirName\"     '1(字符)分类名",
    "\"ParentDir\"   '2(数值)父分类",
    "\"Description\" '3(字符)描述，说明 【网页代码】",
    "\"nType\"       '4(数值)=0不在ORV里显示 =1帮助里不显示为组 =2回收站  =10显示在ORV里面 =11私用库",
    "\"uID\"         '5(数值)更新的用户ID",
    "\"uDate\"       '6(数值)更新日期  Unix时间戳作为日期。Unix时间戳包含Unix纪元（1970年1月1日00:00:00 GMT）与指定时间之间的秒数。中国时区-28800 ",
    "\"Sort\"        '7(数值)排序",
    "词条列表，表名为 \"KeywordList\" ",
    "\"kID\"            '0 ",
    "\"dID\"            '1目录ID  ",
    "\"sID\"            '2关键词数据ID  ",
    "\"DisplayKeyWord\" '3显示用关键词，用于显示和提示【文本】 ",
    "\"nType\"          '4类型  0其它 1语句 2过程 3函数 4标准类型 5定义类型 6别名 7枚举 8联合 9常量 10宏 11变量 .备用. 20成员 21枚举成员 ",
    "\"Sort\"           '5排序  数字越少，查询后越靠前  ",
    "词条数据，表名为 \"KeywordData\" ",
    "\"sID\"         '0.6   ",
    "\"KeyWord\"     '1.7关键词 【文本】 ",
    "\"UKeyWord\"    '2.8大写关键词，查询时使用，速度快【文本】 ",
    "\"Description\" '3.9描述，简单的说明，【文本】 ",
    "\"Explain\"     '4.10说明，详细说明，【网页代码】",
    "\"Syntax\"      '5.11语法，【文本】",
    "\"Member\"      '6.12附加，类:(成员列表 <FUN|SUB|PRO|CON|DES|OPE>名<AS:类型>参数<'>说明，1行1个) 常量\\变量\\成员\\别名:(大写的类型名) 函数:(大写的返回类型名) 宏:(替换的内容)【文本】",
    "\"Parameter\"   '7.13参数说明，分隔符为 vbCrLf ，1行1个参数，参数后空格之后是文字为其说明【文本】，如果关键词是类，这里就是大写的继承类名。",
    "\"Examples\"    '8.14示例【文本】",
    "\"Source\"      '9.15源码，需要提供源码，编译时会把源码放到临时文件里。【文本】",
    "\"Related\"     '10.16相关的关键词，分隔符为 vbCrLf ，1行1个 参数后空格是之后文字为其说明 【文本】 ",
    "\"Include\"     '11.17引用，需要引用什么库文件，'ln 行号，表示在第几行，1行1个 ",
    "\"Platform\"    '12.18平台  Windows=0 , Linux=1 双平台=2 ",
    "\"Attribute\"   '13.19属性  =0帮助文档 =1 FB原生 =2源码 =3扩展库  ",
    "\"nType\"       '14.20类型  0其它 1语句 2过程 3函数 4标准类型 5定义类型 6别名 7枚举 8联合 9常量 10宏 11变量 .备用. 20成员 21枚举成员",
    "\"uID\"         '15.21更新的用户ID ",
    "\"uDate\"       '16.22更新日期  Unix时间戳作为日期。Unix时间戳包含Unix纪元（1970年1月1日00:00:00 GMT）与指定时间之间的秒数。 中国时区+8小时（-28800）",
};

std::string schemaText() {
    std::string text;
    for (std::string_view line : kSchemaLines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

class ImportWindow : public framework::FormHandler {
public:
    explicit ImportWindow(ImportHost host) : host_(std::move(host)) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_CREATE) createControls(form);
        return false;
    }

    void onCreated(HWND form, LPARAM) override {
        form_ = form;
        prompter_ = framework::MessageBoxPrompter(form);
        progress_.setOwner(form);
        framework::SetControlText(item(kSchemaText), text::utf8ToWide(schemaText()));
    }

    void onCommand(HWND form, int id, int code, HWND) override {
        if (code != BN_CLICKED) return;
        switch (id) {
        case kFileButton: chooseFile(form); break;
        case kFolderButton: chooseFolder(form); break;
        case kRun:
            if (const auto operation = framework::BeginOperation(form, "开始制作")) runImport(form);
            break;
        case kBackup:
            if (const auto operation = framework::BeginOperation(form, "备份公库和私库"))
                runBackup(host_.db, library::withTrailingSeparator(host_.ideFolder), prompter_);
            break;
        case kExecute:
            if (const auto operation = framework::BeginOperation(form, "执行命令")) execute(form);
            break;
        default: break;
        }
    }

    void onDestroy(HWND form) override {
        if (g_import == form) g_import = nullptr;
    }

private:
    HWND item(int id) const { return GetDlgItem(form_, id); }
    bool checked(int id) const { return framework::GetCheckState(item(id)) == BST_CHECKED; }
    std::string textOf(int id) const { return text::wideToUtf8(framework::GetControlText(item(id))); }
    void check(int on, int off) {
        framework::SetCheckState(item(on), BST_CHECKED);
        framework::SetCheckState(item(off), BST_UNCHECKED);
    }

    // Radio buttons of one group follow each other, so that each group starts at its
    // first button; the frames and labels come first.
    void createControls(HWND form) {
        using framework::PlaceControl;
        // The backup button overlaps the first library option's line: made first, it lies
        // above it, and the option (clipping its siblings) never paints over it.
        PlaceControl(form, "BUTTON", L"Command3", kBackup, "备份公库和私库", {768, 24, 105, 28});
        PlaceControl(form, "LABEL", L"Label1", 0, "制作流程：1、提取文件到私库。2、修库。3、复制到公库和大家共享。",
                     {8, 4, 522, 20});
        PlaceControl(form, "GROUPBOX", L"Frame1", 0, "提取范围", {6, 24, 519, 127});
        PlaceControl(form, "GROUPBOX", L"Frame2", 0, "提取方式", {8, 158, 518, 111});
        PlaceControl(form, "GROUPBOX", L"Frame3", 0, "重复处理（遇到库中同名的词条）", {8, 275, 353, 108});
        PlaceControl(form, "GROUPBOX", L"Frame5", 0, "平台", {370, 275, 156, 108});
        PlaceControl(form, "GROUPBOX", L"Frame4", 0, "直接执行SQL命令（执行有风险，建议先备份）", {534, 0, 342, 423});
        greyLabel(form, L"Label2", "编译工程时文件必须在：通用文件夹：ORV\\Compile\\Inc\\  私有文件夹：ORV\\Private\\Inc",
                  {33, 198, 484, 20});
        greyLabel(form, L"Label6", "编译工程时会自动把源码加入到编译工程里", {36, 241, 484, 20});
        PlaceControl(form, "LABEL", L"Label3", 0, "条件，按此条件操作", {548, 302, 164, 16});
        PlaceControl(form, "LABEL", L"Label4", 0, "辅助，更新时为修改，查询时为排序，删除时不使用。", {546, 348, 320, 16});
        PlaceControl(form, "LABEL", L"Label5", 0, "条件和修改是SQL语法，可查阅相关文档。", {546, 396, 262, 20});

        PlaceControl(form, "OPTION", L"Option1", kFileOption, "单文件，任意指定的文本格式文件。", {18, 41, 441, 19},
                     framework::kWsGroup, 0);
        PlaceControl(form, "OPTION", L"Option1", kFolderOption,
                     "文件夹，包含子文件夹下所有特定扩展名的文件（*.INC；*.BI）", {18, 95, 428, 19}, framework::kDefaultStyle, 1);
        PlaceControl(form, "BUTTON", L"Command1", kFileButton, "浏览...", {471, 38, 46, 22}, framework::kDefaultStyle, 0);
        PlaceControl(form, "TEXTBOX", L"Text1", kFileText, "", {17, 64, 501, 22}, framework::kDefaultStyle, 0);
        PlaceControl(form, "BUTTON", L"Command1", kFolderButton, "浏览...", {470, 92, 46, 22}, framework::kDefaultStyle, 1);
        PlaceControl(form, "TEXTBOX", L"Text1", kFolderText, "", {16, 118, 501, 22}, framework::kDefaultStyle, 1);

        PlaceControl(form, "OPTION", L"Option2", kReferenceOption,
                     "引用文件（即头文件）编译时会引用此文件  #include once \"文件名\"", {19, 178, 493, 18},
                     framework::kWsGroup, 0);
        PlaceControl(form, "OPTION", L"Option2", kSourceOption,
                     "源码，复制全部代码到数据库里(只提取第一个遇到的函数、过程和类型，其它定义忽略。)", {19, 219, 502, 18},
                     framework::kDefaultStyle, 1);

        const char* ruleCaptions[] = {"全部新增加，不管有没有同名。只是在日志中报告。", "只新增与私库同名的词条。",
                                      "只新增与公库同名的词条。", "遇到同名的词条全部不新增。"};
        const framework::ControlPlace rulePlaces[] = {{16, 291, 320, 24}, {16, 312, 332, 24}, {16, 332, 332, 24},
                                                      {16, 352, 331, 24}};
        for (int i = 0; i < 4; ++i)
            PlaceControl(form, "OPTION", L"Option3", kRuleOptions[i], ruleCaptions[i], rulePlaces[i],
                         i == 0 ? framework::kWsGroup : framework::kDefaultStyle, i);

        PlaceControl(form, "CHECKBOX", L"Check1", kWindowsCheck, "Windows", {383, 298, 86, 16},
                     framework::kDefaultStyle, 0);
        PlaceControl(form, "CHECKBOX", L"Check1", kLinuxCheck, "Linux", {384, 319, 61, 16}, framework::kDefaultStyle, 1);
        PlaceControl(form, "BUTTON", L"Command2", kRun, "开始制作", {429, 391, 92, 28});

        PlaceControl(form, "OPTION", L"Option4", kPrivateOption, "操作私库", {549, 18, 108, 16}, framework::kWsGroup, 0);
        PlaceControl(form, "OPTION", L"Option4", kPublicOption, "操作公库（不会同步网络公库）", {548, 37, 316, 16},
                     WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON | BS_VCENTER, 1);
        PlaceControl(form, "OPTION", L"Option4", kMemoryOption, "内存库（打开工程时自动提取）", {548, 55, 207, 16},
                     framework::kDefaultStyle, 2);

        framework::ControlOptions schema;
        schema.kind = "TEXTBOX";
        schema.name = L"Text3";
        schema.id = kSchemaText;
        schema.x = 547, schema.y = 74, schema.width = 318, schema.height = 162;
        schema.style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
        schema.font = "新SimSun,9";
        std::string error;
        if (!framework::CreateControl(form, schema, error)) throw std::runtime_error(error);

        PlaceControl(form, "OPTION", L"Option5", kUpdateOption, "更新操作", {547, 262, 106, 18}, framework::kWsGroup, 0);
        PlaceControl(form, "OPTION", L"Option5", kDeleteOption, "删除操作", {547, 283, 139, 18}, framework::kDefaultStyle, 1);
        PlaceControl(form, "OPTION", L"Option5", kQueryOption, "查询操作", {547, 241, 177, 18}, framework::kDefaultStyle, 2);
        PlaceControl(form, "OPTION", L"Option6", kDirectoryOption, "对分类表操作", {739, 241, 130, 18},
                     framework::kWsGroup, 0);
        PlaceControl(form, "OPTION", L"Option6", kKeywordListOption, "对词条列表操作", {739, 262, 126, 18},
                     framework::kDefaultStyle, 1);
        PlaceControl(form, "OPTION", L"Option7", kKeywordDataOption, "对词条数据操作", {739, 282, 126, 18});
        PlaceControl(form, "TEXTBOX", L"Text2", kCondition, "kID=10 or kID=11", {544, 320, 325, 22},
                     framework::kDefaultStyle, 0);
        PlaceControl(form, "TEXTBOX", L"Text2", kAuxiliary, "DisplayKeyWord='新名词',Description='新说明'",
                     {544, 365, 325, 22}, framework::kDefaultStyle, 1);
        PlaceControl(form, "BUTTON", L"Command4", kExecute, "执行命令", {789, 392, 81, 25});

        for (int id : {kFileOption, kReferenceOption, kAddAllOption, kPrivateOption, kQueryOption, kKeywordListOption})
            framework::SetCheckState(GetDlgItem(form, id), BST_CHECKED);
    }

    static void greyLabel(HWND form, const wchar_t* name, std::string_view caption, framework::ControlPlace place) {
        framework::ControlOptions options;
        options.kind = "LABEL";
        options.name = name;
        options.caption = text::utf8ToWide(caption);
        options.x = place.x, options.y = place.y, options.width = place.width, options.height = place.height;
        options.foreColour = framework::kGreyColour;
        std::string error;
        if (!framework::CreateControl(form, options, error)) throw std::runtime_error(error);
    }

    void chooseFile(HWND form) {
        wchar_t path[MAX_PATH * 4] = {};
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = form;
        dialog.lpstrFilter = L"FreeBasic库文件(*.INC;*.BI)\0*.INC;*.BI\0";
        dialog.lpstrFile = path;
        dialog.nMaxFile = static_cast<DWORD>(std::size(path));
        dialog.lpstrTitle = L"FreeBasic库文件";
        dialog.lpstrDefExt = L"INC";
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
        if (!GetOpenFileNameW(&dialog)) return;
        check(kFileOption, kFolderOption);
        framework::SetControlText(item(kFileText), path);
    }

    void chooseFolder(HWND form) {
        // The dialog's new style needs COM on this thread; where the IDE made the thread
        // multi-threaded already, the old style serves.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        BROWSEINFOW dialog{};
        dialog.hwndOwner = form;
        dialog.lpszTitle = L"包含FreeBasic库文件的文件夹";
        dialog.ulFlags = BIF_RETURNONLYFSDIRS | (SUCCEEDED(com) ? BIF_NEWDIALOGSTYLE : 0);
        PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&dialog);
        if (SUCCEEDED(com)) CoUninitialize();
        if (!chosen) return;
        wchar_t path[MAX_PATH] = {};
        const bool named = SHGetPathFromIDListW(chosen, path) != FALSE;
        CoTaskMemFree(chosen);
        if (!named) return;
        std::wstring folder = path;
        if (folder.empty() || folder.back() != L'\\') folder += L'\\';
        framework::SetControlText(item(kFolderText), folder);
        check(kFolderOption, kFileOption);
    }

    void runImport(HWND form) {
        ImportRequest request;
        request.scope = checked(kFileOption) ? ImportScope::File : ImportScope::Folder;
        request.path = textOf(request.scope == ImportScope::File ? kFileText : kFolderText);
        request.mode = checked(kSourceOption) ? ExtractionMode::Source : ExtractionMode::Reference;
        for (int rule = 0; rule < 4; ++rule)
            if (checked(kRuleOptions[rule])) request.duplicateRule = static_cast<DuplicateRule>(rule);
        request.platform = importPlatform(checked(kWindowsCheck), checked(kLinuxCheck));
        request.accountName = host_.accountName;
        const ImportOutcome outcome = RunImport(host_.db, prompter_, progress_, request);
        switch (outcome.rejection) {
        case ImportRejection::None:
            break;
        case ImportRejection::NoFile:
        case ImportRejection::MissingFile:
            framework::FocusControl(item(kFileText));
            return;
        case ImportRejection::NoFolder:
        case ImportRejection::MissingFolder:
            framework::FocusControl(item(kFolderText));
            return;
        default:
            return;
        }
        // The report is the root category's page: the help window goes there, and the
        // run's window has done its work.
        if (outcome.committed && host_.showReport) host_.showReport(outcome.rootId);
        framework::PostCloseRequest(form);
    }

    void execute(HWND form) {
        const int lib = checked(kPublicOption) ? library::kPublic : checked(kMemoryOption) ? 2 : library::kPrivate;
        const std::string_view table = checked(kDirectoryOption)     ? library::tables::Directory
                                       : checked(kKeywordDataOption) ? library::tables::KeywordData
                                                                     : library::tables::KeywordList;
        const SqlOperation op = checked(kUpdateOption)   ? SqlOperation::Update
                                : checked(kDeleteOption) ? SqlOperation::Delete
                                                         : SqlOperation::Query;
        const SqlResult result = RunDirectSql(host_.db, lib, table, op, textOf(kCondition), textOf(kAuxiliary));
        if (!result.ok) {
            prompter_.message(result.message, library::MessageKind::Error);
        } else if (op == SqlOperation::Query) {
            // The result window outlives this one: it belongs to the first of its owners.
            HWND root = form;
            while (HWND owner = GetWindow(root, GW_OWNER)) root = owner;
            showQueryResult(root, result);
        } else {
            prompter_.message(result.message, library::MessageKind::Information);
        }
        // The statement may have changed what the tree shows.
        if (host_.reloadTree) host_.reloadTree();
    }

    ImportHost host_;
    HWND form_ = nullptr;
    framework::MessageBoxPrompter prompter_;
    ProgressOver progress_;
};

}  // namespace

void runImportWindow(HWND owner, const ImportHost& host) {
    if (framework::BringFormForward(g_import)) return;
    framework::FormOptions options;
    options.name = L"Form制作";
    options.className = kImportWindowClass;
    options.caption = L"制作（提取文件中的关键词到私库中）";
    options.owner = owner;
    options.width = kWidth;
    options.height = kHeight;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    options.font = kFont;
    g_import = framework::CreateFittedForm(options, std::make_unique<ImportWindow>(host), "无法打开制作窗口：");
    if (g_import) framework::ShowModal(g_import);
}

HWND importWindow() { return g_import; }

}  // namespace orv::tools
