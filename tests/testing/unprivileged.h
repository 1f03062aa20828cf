#pragma once
// Permission failures for tests that run as root, where permission bits stop nothing: the code
// under test runs in a child process that has given root up.
#include <functional>
#include <string>

namespace tgm::test {

// Runs `body` in a child process as user and group nobody without further groups (or as the
// current user when that is not root) and returns what it returned, or "child failed".
std::string as_unprivileged(const std::function<std::string()>& body);

// Makes `device` one that as_unprivileged's child may not read or write while the device's
// group may: mode 0660, group dialout (as root), or mode 0060 on one's own device otherwise.
// Returns the device's group name.
std::string deny_to_unprivileged(const std::string& device);

// Lets the unprivileged child pass through a folder (mode 0755).
void open_to_unprivileged(const std::string& folder);

} // namespace tgm::test
