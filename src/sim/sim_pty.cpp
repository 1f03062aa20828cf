#include "sim/sim_pty.h"

#include "ports/port_names.h"
#include "sim/fd_wire.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace tgm {

SimPty::~SimPty() {
    stop();
    if (!link_path_.empty())
        ::unlink(link_path_.c_str());
    if (master_fd_ >= 0)
        ::close(master_fd_);
    if (slave_fd_ >= 0)
        ::close(slave_fd_);
}

bool SimPty::open(std::string& error) {
    termios tio{};
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&tio, B9600);
    char name[256] = {};
    // The unit keeps the slave open as well, so the master never sees a hang-up between the
    // tool's sessions and the line keeps its settings.
    if (::openpty(&master_fd_, &slave_fd_, name, &tio, nullptr) != 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    ::fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_fd_, F_SETFD, FD_CLOEXEC);
    slave_path_ = name;
    return true;
}

bool SimPty::make_link(const std::string& link_path, std::string& error) {
    struct stat st {};
    if (::lstat(link_path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link_path + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(link_path.c_str());
    }
    if (::symlink(slave_path_.c_str(), link_path.c_str()) != 0) {
        error = "cannot make " + link_path + ": " + std::strerror(errno);
        return false;
    }
    link_path_ = link_path;
    return true;
}

int32_t SimPty::port() const { return port_of_path(slave_path_); }

void SimPty::start() {
    stop_ = false;
    thread_ = std::thread([this] { serve(stop_); });
}

void SimPty::stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void SimPty::serve(const std::atomic<bool>& stop_flag) {
    FdWire wire(master_fd_, slave_fd_);
    unit_->serve(wire, stop_flag);
}

} // namespace tgm
