#pragma once
// Port numbers and the devices they name. A number always means the same device. On POSIX
// (port_names_posix.cpp): 0-31 ttyS0-31, 32-63 ttyUSB0-31, 64-95 ttyACM0-31, 256+n the
// pseudo-terminal pts/n; TGM_DEV_DIR, when set, stands for /dev so that tests can lay out
// stand-in devices. On Windows (port_names_win32.cpp): n is COM(n+1).
#include <cstdint>
#include <string>

namespace tgm {

constexpr int32_t kFirstPtyPort = 256;
// Numbers that enumeration tries: 0 to kEnumeratedPorts - 1 (never pseudo-terminals); 96 on
// POSIX, 64 (COM1-COM64) on Windows.
extern const int32_t kEnumeratedPorts;

// A number of the table, 0 to kEnumeratedPorts - 1: the only numbers a user or tgm.cfg may
// give; a pseudo-terminal is reached by its path.
bool is_table_port(int32_t port);
// What the table holds, said under a refused port number (code page 1251).
std::string port_table_text();

// Whether `text` is a number of one to six decimal digits.
bool is_port_digits(const std::string& text);

// "/dev" or $TGM_DEV_DIR.
std::string device_dir();
// The device path of a port number, or an empty text when the number names no device.
std::string port_device_path(int32_t port);
// The number of a device given by path (symlinks resolved), or -1 when it is outside the table.
int32_t port_of_path(const std::string& path);
// A port given on a command line: a number of the table as it stands, anything else as a device
// path (on Windows "COMn" or "\\.\COMn"); -1 when it names no port of the table (a
// pseudo-terminal's number included).
int32_t port_of_argument(const std::string& text);
// What the system knows of the device behind a port (a USB adapter's maker and product), in
// code page 1251; empty when nothing is known.
std::string port_description(int32_t port);

} // namespace tgm
