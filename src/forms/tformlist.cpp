#include "forms/tformlist.h"

namespace tgm {

std::string TFormList::text() const {
    std::string s;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i > 0)
            s += "\r\n";
        s += items_[i];
    }
    return s;
}

} // namespace tgm
