// The editors' windows: the entry editor (Form词条), the category editor (Form分类) and
// the category chooser (Form选择目录), opened from the help window. Win32 only.
#pragma once

#include "editors/category_editor.h"
#include "library/host_db.h"
#include "library/settings.h"
#include "library/tree_node.h"
#include "render/link.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace orv::editors {

// What the editors take from the help window that opens them; it outlives them (they
// are owned windows, destroyed before it).
struct EditorHost {
    library::HostDb& db;
    std::string ideFolder;
    const library::Settings& settings;
    // Shows a saved row in the help window: its page, and the tree walked down to it.
    std::function<void(int lib, long long id, render::TargetKind kind)> showSaved;
    // Opens the setup window after the server refused the account.
    std::function<void()> openSetup = {};
};

// Opens the entry editor for a new entry under `node` or for the entry `node`, after
// the account test a public-library edit needs. An editor already open comes to the
// front instead.
void openEntryEditor(HWND owner, const EditorHost& host, bool isNew, const library::TreeNode& node);
// Opens the category editor in `mode` for `node` (see CategoryMode).
void openCategoryEditor(HWND owner, const EditorHost& host, CategoryMode mode, const library::TreeNode& node);
// The chooser, modal over `owner`: the dID chosen in library `lib` (0: the top level),
// nothing when cancelled, or refused (and said so) while an operation runs.
std::optional<long long> chooseCategory(HWND owner, library::HostDb& db, int lib);

// Asks each open editor to close, its close question included; false when one stays.
bool closeEditors();
// The open editors' windows (null when not open), for tests and the owner.
HWND entryEditorWindow();
HWND categoryEditorWindow();

}  // namespace orv::editors
