#pragma once
// The program's version: four numbers compiled in from the build's project version.
#include <cstdint>
#include <string>

namespace tgm {

class TAppInfo {
public:
    explicit TAppInfo(std::string text_1 = std::string(), std::string text_2 = std::string());

    std::string text_1;
    std::string text_2;
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;

    // "major.minor.release.build"
    std::string version_text() const;
};

} // namespace tgm
