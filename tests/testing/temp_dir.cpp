#include "testing/temp_dir.h"

#include <filesystem>
#include <random>
#include <stdexcept>

namespace tgm::test {

TempDir::TempDir() {
    // A fresh name of its own, made by create_directory alone (no mkdtemp on Windows).
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path path = base / ("tgm-test-" + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(path, ec)) {
            path_ = path.string();
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

} // namespace tgm::test
