// The fault matrix, all but its slow row: one test per pair that can occur.
#include "fault_matrix.h"

#include <gtest/gtest.h>

namespace tgm::test {
namespace {

class FaultMatrix : public ::testing::TestWithParam<FaultPair> {};

TEST_P(FaultMatrix, ExactTextExitCodeAndNothingLost) { run_fault_pair(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Pairs, FaultMatrix, ::testing::ValuesIn(fault_pairs(false)),
                         [](const auto& info) { return fault_pair_name(info.param); });

} // namespace
} // namespace tgm::test
