#pragma once
// The seed of a test that kills a child at random moments: TGM_KILL_SEED when given, so that a
// failed run can be repeated, a fresh one otherwise; printed either way.
namespace tgm::test {

unsigned kill_seed();

} // namespace tgm::test
