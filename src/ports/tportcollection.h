#pragma once
// The ports present on the machine, in ascending number.
#include "ports/tport.h"
#include "ports/txcollection.h"

namespace tgm {

class TPortCollection : public TXCollection {
public:
    TPortCollection() = default;
    ~TPortCollection() override { clear(); }

    TPort* port_at(int32_t index) const { return static_cast<TPort*>(item(index)); }
    // Adds a port unless one with that number is already listed.
    void add_port(int32_t port, const std::string& name, const std::string& description = {});
    // Lists every port of the table (pseudo-terminals excepted) that opens now, and those that
    // exist but this user may not open, described as such.
    void enumerate();

protected:
    void free_item(int32_t index) override;
};

} // namespace tgm
