#pragma once
// The console's settings, kept for the whole run: the main window copies values in before the
// console opens and takes the keypad choice back after it closes.
#include <cstdint>

namespace tgm {

struct ConsoleParameters {
    int32_t port = 0;
    int32_t keypad = 0; // 0 keypad type 1, 1 type 2, anything else type 3
    bool keypad_menu = true;
};

// The program's one block.
ConsoleParameters& console_parameters();

} // namespace tgm
