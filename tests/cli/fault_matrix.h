#pragma once
// The fault matrix: every failure a table operation reports, provoked with tgm-sim's fault
// switches and run through tgm-cli, for write, read, clear and compare. Each row is one fault
// on one kind of unit; its operations are those on which the fault can occur at all.
#include <cstdint>
#include <string>
#include <vector>

namespace tgm::test {

enum FaultOperation { kFaultWrite, kFaultRead, kFaultClear, kFaultCompare, kFaultOperations };

// What the unit's flash holds before the operation.
enum class UnitTables { written, unknown_type };

struct FaultRow {
    const char* name;
    const char* text; // the exact text of the status line and of stderr (UTF-8)
    char protocol;
    const char* firmware;
    std::vector<std::string> switches;                        // tgm-sim's, for every operation
    std::vector<std::string> per_operation[kFaultOperations]; // and for one operation
    unsigned operations;    // bit per FaultOperation: where the fault can occur
    unsigned after_flash;   // where the failure comes after a flash write began
    const char* write_file; // the form file `write` is given: an example, or one of the test's
    UnitTables tables = UnitTables::written;
    bool port_held = false; // another program holds the line
    bool slow = false;      // the 46 readiness polls in real time
};

struct FaultPair {
    int32_t row;
    FaultOperation operation;
};

const std::vector<FaultRow>& fault_rows();
// The pairs that can occur, of the slow rows or of the others.
std::vector<FaultPair> fault_pairs(bool slow);
std::string fault_pair_name(const FaultPair& pair);

// Runs the pair's operation through tgm-cli against tgm-sim and checks the exact text, the exit
// code and that nothing was lost: the form file given to write, the output of a failed read, and
// the unit's state unless the failure came after a flash write began.
void run_fault_pair(const FaultPair& pair);

} // namespace tgm::test
