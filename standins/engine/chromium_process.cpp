// Win32 only: finding and starting Chromium, and reading where its DevTools endpoint is.
//
// Under Wine, Chromium is a Linux process Wine gives us no handle to (nor a parent link:
// Wine starts it detached, with /dev/null as input), so neither a job object nor
// TerminateProcess can end it. It is started through /bin/sh, which watches our own Linux
// process and ends Chromium when we are gone, crash included, then removes the profile
// folder; it also notes Chromium's process id, so that we can end it ourselves.
#include "chromium_process.h"

#include "text/win32/wide_text.h"
#include "wine_paths.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace orv::mb {
namespace {

// The wrapper: $1 is the profile folder, $2 our own Linux process, $0 Chromium, the rest
// its arguments.
constexpr const wchar_t* kWatchdogScript =
    L"p=$1; h=$2; shift 2; "
    L"\"$0\" \"$@\" </dev/null >/dev/null 2>&1 & c=$!; echo $c > \"$p/orv-chromium.pid\"; "
    L"( while kill -0 $h 2>/dev/null && kill -0 $c 2>/dev/null; do sleep 1; done; kill $c 2>/dev/null ) & "
    L"wait $c; rm -rf \"$p\"";

// Our process id as Linux sees it: /proc/self is read by our own process under Wine.
std::string hostProcessId() {
    std::ifstream stat(std::filesystem::path(L"/proc/self/stat"));
    std::string pid;
    return stat >> pid ? pid : std::string();
}

const wchar_t* const kChromiumArguments[] = {
    L"--headless=new", L"--no-sandbox", L"--remote-debugging-port=0", L"--no-first-run",
    L"--no-default-browser-check", L"--disable-extensions", L"--disable-sync", L"--mute-audio",
    L"--password-store=basic", L"--disable-background-timer-throttling", L"--disable-renderer-backgrounding",
    L"--disable-backgrounding-occluded-windows", L"--hide-crash-restore-bubble",
};

bool fileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring environmentValue(const wchar_t* name) {
    std::wstring value(1024, L'\0');
    DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n >= value.size()) {
        value.resize(n);
        n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    }
    value.resize(n < value.size() ? n : 0);
    return value;
}

// The executable to start, or empty with the reason.
std::wstring findChromium(std::string& error) {
    const std::wstring chosen = environmentValue(L"ORV_CHROMIUM");
    if (!chosen.empty()) {
        if (fileExists(chosen)) return chosen;
        error = "Chromium was not found at " + text::wideToUtf8(chosen) + " (ORV_CHROMIUM)";
        return {};
    }
    for (const wchar_t* name : {L"chromium.exe", L"chrome.exe", L"chromium"}) {
        wchar_t found[MAX_PATH];
        const DWORD n = SearchPathW(nullptr, name, nullptr, MAX_PATH, found, nullptr);
        if (n > 0 && n < MAX_PATH && fileExists(found)) return found;
    }
    const std::wstring fallback = L"/usr/bin/chromium";
    if (fileExists(fallback)) return fallback;
    error = "Chromium was not found (not in ORV_CHROMIUM, on PATH or at /usr/bin/chromium)";
    return {};
}

}  // namespace

std::wstring quotedArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: then each one is doubled.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

ChromiumProcess::~ChromiumProcess() { stop(); }

bool ChromiumProcess::makeProfileFolder(std::string& error) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) {
        error = "GetTempPathW failed (" + std::to_string(GetLastError()) + ")";
        return false;
    }
    for (int attempt = 0; attempt < 20; ++attempt) {
        const std::wstring folder = std::wstring(temp) + L"orv-mb-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount64() + static_cast<unsigned>(attempt));
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            profile_ = folder;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            error = "cannot create the profile folder " + text::wideToUtf8(folder) + " (" + std::to_string(GetLastError()) + ")";
            return false;
        }
    }
    error = "no free name for a profile folder in " + text::wideToUtf8(temp);
    return false;
}

bool ChromiumProcess::launch(const std::wstring& commandLine, bool wrapped, std::string& error) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    // Chromium talks a lot on its standard streams (D-Bus and GPU notes): nobody reads them.
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE) {
        error = "cannot open NUL (" + std::to_string(GetLastError()) + ")";
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    const DWORD flags = wrapped ? 0 : CREATE_SUSPENDED | CREATE_NO_WINDOW;
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &info);
    const DWORD code = GetLastError();
    CloseHandle(nul);
    if (!started) {
        error = "cannot start " + executable_ + " (CreateProcess error " + std::to_string(code) + ")";
        return false;
    }
    if (!wrapped) {
        // Killed with the job when our last handle to it closes, crash included.
        job_ = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_) SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        if (job_) AssignProcessToJobObject(job_, info.hProcess);
        ResumeThread(info.hThread);
    }
    if (info.hThread) CloseHandle(info.hThread);
    process_ = info.hProcess;
    return true;
}

bool ChromiumProcess::start(std::string& error) {
    const std::wstring found = findChromium(error);
    if (found.empty()) return false;
    if (!makeProfileFolder(error)) return false;
    const bool wrapped = runningUnderWine();
    // Under Wine, Chromium sees Linux paths: its own and the profile's.
    const std::string hostProfile = hostPathOf(profile_);
    const std::string hostExecutable = wrapped && found[0] != L'/' ? hostPathOf(found) : text::wideToUtf8(found);
    const std::string hostPid = wrapped ? hostProcessId() : std::string("-");
    if (hostPid.empty()) {
        error = "cannot read our own process id from /proc/self/stat";
        removeProfileFolder();
        return false;
    }
    if (hostProfile.empty() || hostExecutable.empty()) {
        error = "cannot map " + text::wideToUtf8(profile_) + " to a path Chromium can use";
        removeProfileFolder();
        return false;
    }
    executable_ = hostExecutable;
    std::wstring line;
    if (wrapped)
        line = L"/bin/sh -c " + quotedArgument(kWatchdogScript) + L" " + quotedArgument(text::utf8ToWide(hostExecutable)) +
               L" " + quotedArgument(text::utf8ToWide(hostProfile)) + L" " + text::utf8ToWide(hostPid);
    else
        line = quotedArgument(found);
    for (const wchar_t* argument : kChromiumArguments) line += std::wstring(L" ") + argument;
    line += L" " + quotedArgument(L"--user-data-dir=" + text::utf8ToWide(hostProfile)) + L" about:blank";
    if (!launch(line, wrapped, error)) {
        removeProfileFolder();
        return false;
    }
    wrapped_ = wrapped;
    return true;
}

bool ChromiumProcess::waitForEndpoint(int timeoutMs, const std::atomic<bool>& cancel, int& port, std::string& path,
                                      std::string& error) {
    const std::filesystem::path file = std::filesystem::path(profile_) / L"DevToolsActivePort";
    const unsigned long long deadline = GetTickCount64() + static_cast<unsigned long long>(timeoutMs);
    while (!cancel.load()) {
        std::ifstream in(file, std::ios::binary);
        std::string portText, endpoint;
        // Chromium writes the file in one go, but we may see it half-written: both lines
        // must be there.
        if (in && std::getline(in, portText) && std::getline(in, endpoint) && !endpoint.empty()) {
            try {
                port = std::stoi(portText);
                path = endpoint;
                if (!path.empty() && path.back() == '\r') path.pop_back();
                return true;
            } catch (const std::exception&) {
            }
        }
        if (process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
            error = executable_ + " ended before it opened its DevTools endpoint";
            return false;
        }
        if (GetTickCount64() >= deadline) {
            error = executable_ + " did not open its DevTools endpoint within " + std::to_string(timeoutMs / 1000) + " s";
            return false;
        }
        Sleep(30);
    }
    error = "stopped";
    return false;
}

void ChromiumProcess::removeProfileFolder() {
    if (profile_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(profile_), ignored);
}

void ChromiumProcess::stop() {
    std::lock_guard<std::mutex> hold(stopLock_);
    if (wrapped_) {
        wrapped_ = false;
        // Browser.close normally ends it first; this ends one that no longer listens.
        std::ifstream noted(std::filesystem::path(profile_) / L"orv-chromium.pid");
        std::string pid;
        if (noted >> pid && pid.find_first_not_of("0123456789") == std::string::npos) {
            std::wstring line = L"/bin/sh -c " + quotedArgument(L"sleep 2; kill " + text::utf8ToWide(pid) + L" 2>/dev/null");
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info{};
            if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
                if (info.hThread) CloseHandle(info.hThread);
                if (info.hProcess) CloseHandle(info.hProcess);
            }
        }
    }
    if (job_) {
        if (process_) WaitForSingleObject(process_, 2000);  // Browser.close may already be ending it
        CloseHandle(job_);
        job_ = nullptr;
        if (process_) WaitForSingleObject(process_, 2000);
        removeProfileFolder();
    }
    if (process_) {
        CloseHandle(process_);
        process_ = nullptr;
    }
}

}  // namespace orv::mb
