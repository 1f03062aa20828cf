#pragma once
// The simulated unit's K protocol: simple commands, guarded sequences with either handshake,
// the console reads.
#include "sim/sim_unit.h"

namespace tgm {

class KUnit : public SimUnit {
public:
    using SimUnit::SimUnit;

protected:
    void handle(uint8_t command) override;

private:
    // Where a guarded sequence stands: after the handshake word, after each echo, after the
    // parameter block.
    enum class Stage { none, handshake, parameters, transfer };

    bool is_guarded(uint8_t command) const;
    void guarded_step(uint8_t command);
    void transfer(uint8_t command);
    // Status, then the data and, from two bytes on, their checksum.
    void answer(uint8_t command, uint8_t status, const Bytes& data);
    // Accepts and receives count bytes (with a checksum from three bytes on); 0, the final
    // status for a bad checksum, or -1 when the tool stopped sending.
    int32_t receive(int32_t count, Bytes& data);
    void final_status(uint8_t status) { send({status}); }
    Bytes read_area(uint8_t command, int32_t count) const;
    void write_area(uint8_t command, Bytes data);
    void reset() { stage_ = Stage::none; }

    Stage stage_ = Stage::none;
    uint8_t guarded_command_ = 0;
    int32_t echoes_ = 0;
    int32_t count_ = 0;
    int32_t direction_ = 0;
};

} // namespace tgm
