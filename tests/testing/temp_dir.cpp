#include "testing/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tgm::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tgm-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

} // namespace tgm::test
