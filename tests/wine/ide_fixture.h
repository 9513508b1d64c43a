// The IDE that the Wine tests play: a fresh IDE folder with its libraries, served through
// the stand-in's exported services, and a record of every INSERTTOOL call.
#pragma once

#include "standins/host/host_runtime.h"

#include <windows.h>

#include <string>
#include <vector>

namespace orv::wine {

// The test IDE folder, ending in a backslash (UTF-16 and UTF-8).
const std::wstring& ideFolder();
std::string ideFolderUtf8();
// The folder of the test program (where OrvintaHelp.dll is), ending in a backslash.
std::wstring programDir();

// INSERTTOOL calls received since the last clear.
std::vector<standin::ToolRequest>& toolRequests();

// Writes bytes to a file under the IDE folder (relative path with backslashes).
void writeIdeFile(const std::wstring& relative, const std::string& bytes);
std::string readIdeFile(const std::wstring& relative);
void deleteIdeFile(const std::wstring& relative);

// Processes this thread's pending window messages for about `ms` milliseconds.
void pumpMessages(int ms);

// Top-level windows of a class, in this process.
std::vector<HWND> windowsOfClass(const wchar_t* className);

}  // namespace orv::wine
