#include "app/demo_unit.h"

namespace tgm {
namespace {

constexpr const char* kOption = "--simulate";

} // namespace

bool DemoUnit::take_option(std::vector<std::string>& params, std::string& choice) {
    const std::string with_value = std::string(kOption) + "=";
    bool found = false;
    for (auto it = params.begin(); it != params.end();) {
        if (*it == kOption) {
            choice = kDefault;
        } else if (it->rfind(with_value, 0) == 0) {
            choice = it->substr(with_value.size());
        } else {
            ++it;
            continue;
        }
        found = true;
        it = params.erase(it);
    }
    return found;
}

DemoUnit::~DemoUnit() = default;

std::string DemoUnit::label() const {
    return std::string(1, static_cast<char>(protocol_ - 'a' + 'A')) + " " + firmware_;
}

} // namespace tgm
