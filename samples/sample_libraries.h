// The sample IDE folder's two libraries, built from row lists: for the make_sample_libraries
// tool, ./run and the window tests alike.
#pragma once

#include <string>

namespace orv::samples {

// Builds the public and the private library inside `ideFolder` (replacing any there)
// from row lists of lines "Table|assignment list"; '#' starts a comment line, and "\n"
// inside a line stands for a line break (CR LF) in the stored text. False with the
// reason (file and line) when a list cannot be read or a row is refused.
bool makeSampleLibraries(const std::string& ideFolder, const std::string& publicRows, const std::string& privateRows,
                         std::string& error);

}  // namespace orv::samples
