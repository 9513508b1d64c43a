// A fresh folder per test, removed afterwards; and small file helpers.
#pragma once

#include <filesystem>
#include <string>

namespace orv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    // path() / relative as a UTF-8 string.
    std::string file(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

}  // namespace orv::test
