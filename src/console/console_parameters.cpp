#include "console/console_parameters.h"

namespace tgm {

ConsoleParameters& console_parameters() {
    static ConsoleParameters parameters;
    return parameters;
}

} // namespace tgm
