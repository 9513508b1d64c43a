// A public library of the size benchmarks need: the FreeBASIC manual fixture with
// renamed copies of its entries added until it is large enough.
#pragma once

#include <filesystem>
#include <string>

namespace orv::bench {

// The shared folder: ORV_SHARED_DIR, or else ../shared beside the source tree.
std::filesystem::path sharedFolder();
// The manual fixture in the shared folder.
std::filesystem::path manualFixture();

// Copies the manual fixture to `file` and adds renamed copies of its entries (keyword,
// description, type and placement) until KeywordData holds at least `minEntries` rows.
// Returns "" on success, else why not (a missing fixture says it is skipped).
std::string makeLargeLibrary(const std::filesystem::path& file, long long minEntries);

}  // namespace orv::bench
