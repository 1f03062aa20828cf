#include "ports/txcollection.h"

namespace tgm {

void TXCollection::clear() {
    for (int32_t i = 0; i < count(); ++i)
        free_item(i);
    items_.clear();
}

} // namespace tgm
