#pragma once
// System parameters that are not link settings: the forms folder and the console keyboard.
#include <cstdint>
#include <string>

namespace tgm {

class SYSPAR {
public:
    int32_t console_keyboard = 0; // 0, 1, 2: "Тип 1", "Тип 2", "Тип 3"

    // Keeps the folder part of the path with its trailing separator ("/a/b/x.fs" -> "/a/b/").
    void set_forms_folder(const std::string& path);
    const std::string& forms_folder() const { return forms_folder_; }

private:
    std::string forms_folder_;
};

} // namespace tgm
