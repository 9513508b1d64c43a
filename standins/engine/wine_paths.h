// Win32 only: where a Windows path lies for a program outside Wine (Chromium is a Linux
// program when we run under Wine), and file addresses of local paths.
#pragma once

#include <string>

namespace orv::mb {

// True when this process runs under Wine.
bool runningUnderWine();

// The Linux path Wine maps a Windows path to; the path itself (as UTF-8, with forward
// slashes) on Windows. Empty when Wine cannot map it.
std::string hostPathOf(const std::wstring& windowsPath);

// A file:// address for a path of the machine Chromium runs on, bytes outside the
// unreserved set percent-encoded.
std::string fileUrlOfHostPath(const std::string& hostPath);

// Addresses as the host reads them. Chromium runs on the Linux side and writes file
// addresses of Linux paths; an engine on Windows writes those of Windows paths. A file
// address Chromium reports is turned into the one of the Windows path Wine maps it to
// ("file:///Z:/ide/page.htm"); any other address is unchanged.
std::string reportedUrl(const std::string& browserUrl);
// The reverse, for addresses the host hands in.
std::string browserUrl(const std::string& reportedUrl);

// The folder of the running program (GetModuleFileName(NULL)), without a trailing separator.
std::wstring programFolder();

}  // namespace orv::mb
