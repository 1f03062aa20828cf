#include "cli_platform.h"

#include <csignal>

namespace tgm::cli {
namespace {

std::atomic<std::atomic<bool>*> target{nullptr};
struct sigaction previous {};

void on_interrupt(int) {
    if (std::atomic<bool>* flag = target.load())
        flag->store(true);
}

} // namespace

void prepare_output() {}

void catch_interrupt(std::atomic<bool>& flag) {
    target.store(&flag);
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigaction(SIGINT, &action, &previous);
}

void release_interrupt() { sigaction(SIGINT, &previous, nullptr); }

} // namespace tgm::cli
