// Win32 only: one headless Chromium with a temporary profile folder of its own, started
// so that it cannot outlive this process, and the address of its DevTools endpoint.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

namespace orv::mb {

class ChromiumProcess {
public:
    ChromiumProcess() = default;
    ~ChromiumProcess();
    ChromiumProcess(const ChromiumProcess&) = delete;
    ChromiumProcess& operator=(const ChromiumProcess&) = delete;

    // Finds Chromium (ORV_CHROMIUM, else chromium on PATH, else /usr/bin/chromium) and
    // starts it. Returns at once; false with the reason when it cannot even be started.
    bool start(std::string& error);

    // Waits until Chromium names its DevTools endpoint (the DevToolsActivePort file in
    // its profile), at most `timeoutMs` or until `cancel` is set.
    bool waitForEndpoint(int timeoutMs, const std::atomic<bool>& cancel, int& port, std::string& path,
                         std::string& error);

    // Makes sure Chromium ends (under Wine a moment later, so that Browser.close can end
    // it cleanly first; on Windows through the job object). Idempotent.
    void stop();

    const std::string& executable() const { return executable_; }

private:
    bool makeProfileFolder(std::string& error);
    bool launch(const std::wstring& commandLine, bool wrapped, std::string& error);
    void removeProfileFolder();

    std::string executable_;  // as Chromium's host sees it, UTF-8
    std::wstring profile_;    // the Windows path of the profile folder
    bool wrapped_ = false;  // started through the watchdog wrapper (under Wine)
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    std::mutex stopLock_;  // the reader thread and the UI thread may both stop it
};

// How a Windows command line quotes one argument so that it is read back unchanged.
std::wstring quotedArgument(const std::wstring& argument);

}  // namespace orv::mb
