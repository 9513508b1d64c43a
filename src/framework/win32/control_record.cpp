// Finding records and giving back what they own. Win32 only.
#include "framework/win32/control_record.h"

namespace orv::framework {

RecordTable& WindowRecords() {
    static RecordTable table;
    return table;
}

ControlRecord* FindRecord(HWND window) {
    if (!window) return nullptr;
    if (auto* record = static_cast<ControlRecord*>(GetPropW(window, kFormRecordProperty))) return record;
    return WindowRecords().Lookup(window);
}

std::intptr_t GetUserData(HWND window, int slot) {
    const ControlRecord* record = FindRecord(window);
    return record ? record->userData.Get(slot) : 0;
}

bool SetUserData(HWND window, int slot, std::intptr_t value) {
    ControlRecord* record = FindRecord(window);
    return record && record->userData.Set(slot, value);
}

namespace {

template <typename Handle, typename Free>
void freeHandle(Handle& handle, Free free) {
    if (handle) free(handle);
    handle = nullptr;
}

}  // namespace

void ReleaseRecordResources(ControlRecord& record) {
    freeHandle(record.largeIcon, DestroyIcon);
    freeHandle(record.smallIcon, DestroyIcon);
    freeHandle(record.brush, [](HBRUSH b) { DeleteObject(b); });
    // The tooltip is owned by the form, so it may already have gone with it.
    freeHandle(record.tooltip, [](HWND tip) {
        if (IsWindow(tip)) DestroyWindow(tip);
    });
    if (record.ownsCursor) freeHandle(record.cursor, DestroyCursor);
    record.cursor = nullptr;
    if (record.image) {
        if (record.imageType == IMAGE_ICON) DestroyIcon(static_cast<HICON>(record.image));
        else DeleteObject(record.image);
        record.image = nullptr;
    }
    if (record.window) {
        // Only the table's pair is removed here; a form's property goes with the form.
        if (WindowRecords().Lookup(record.window) == &record) WindowRecords().Remove(record.window);
    }
}

}  // namespace orv::framework
