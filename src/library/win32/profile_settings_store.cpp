// Settings through the Win32 profile functions. Win32 only.
#include "library/settings_store.h"

#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <windows.h>

namespace orv::library {
namespace {

class ProfileSettingsStore : public SettingsStore {
public:
    explicit ProfileSettingsStore(std::string path) : path_(std::move(path)), widePath_(text::utf8ToWide(path_)) {}

    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
        const std::wstring s = text::utf8ToWide(section), k = text::utf8ToWide(key), d = text::utf8ToWide(fallback);
        std::wstring buf(256, L'\0');
        for (;;) {
            const DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buf.data(),
                                                     static_cast<DWORD>(buf.size()), widePath_.c_str());
            if (n + 1 < buf.size()) {
                buf.resize(n);
                break;
            }
            buf.assign(buf.size() * 2, L'\0');
        }
        return text::wideToUtf8(std::wstring_view(buf.data(), buf.size()));
    }

    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string& error) override {
        // A new file starts as UTF-16 with a byte-order mark: the profile functions then
        // keep writing it as UTF-16 and no character of a name is lost to the code page.
        HANDLE f = CreateFileW(widePath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            const unsigned char bom[2] = {0xFF, 0xFE};
            DWORD written = 0;
            const bool marked = WriteFile(f, bom, 2, &written, nullptr) && written == 2;
            CloseHandle(f);
            // A file left without its mark would be written in the code page from then
            // on: take it back and say so, rather than lose characters quietly later.
            if (!marked) {
                DeleteFileW(widePath_.c_str());
                error = "cannot write " + path_;
                return false;
            }
        }
        if (!WritePrivateProfileStringW(text::utf8ToWide(section).c_str(), text::utf8ToWide(key).c_str(), text::utf8ToWide(value).c_str(),
                                        widePath_.c_str())) {
            error = "cannot write " + path_;
            return false;
        }
        return true;
    }

    const std::string& path() const override { return path_; }

private:
    std::string path_;
    std::wstring widePath_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeSettingsStore(std::string path) {
    return std::make_unique<ProfileSettingsStore>(std::move(path));
}

}  // namespace orv::library
