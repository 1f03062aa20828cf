#pragma once
// One function per tgm-cli command; argv[0] is the command's name.
namespace tgm::cli {

int cmd_info(int argc, char** argv);
int cmd_dump(int argc, char** argv);
int cmd_convert(int argc, char** argv);
int cmd_ports(int argc, char** argv);
int cmd_graph(int argc, char** argv);

} // namespace tgm::cli
