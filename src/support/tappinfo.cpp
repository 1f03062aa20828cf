#include "support/tappinfo.h"

#include <utility>

namespace tgm {

TAppInfo::TAppInfo(std::string t1, std::string t2)
    : text_1(std::move(t1)), text_2(std::move(t2)), major(TGM_VERSION_MAJOR),
      minor(TGM_VERSION_MINOR), release(TGM_VERSION_PATCH), build(TGM_VERSION_TWEAK) {}

std::string TAppInfo::version_text() const {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release) +
           "." + std::to_string(build);
}

} // namespace tgm
