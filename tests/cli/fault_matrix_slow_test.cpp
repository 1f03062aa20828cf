// The fault matrix's slow row: a unit that never ends its initialisation, through tgm-cli in
// real time (46 polls, about 23 s), once per protocol. Labelled slow for ctest.
#include "fault_matrix.h"

#include <gtest/gtest.h>

namespace tgm::test {
namespace {

class SlowFaultMatrix : public ::testing::TestWithParam<FaultPair> {};

TEST_P(SlowFaultMatrix, ExactTextExitCodeAndNothingLost) { run_fault_pair(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Pairs, SlowFaultMatrix, ::testing::ValuesIn(fault_pairs(true)),
                         [](const auto& info) { return fault_pair_name(info.param); });

} // namespace
} // namespace tgm::test
