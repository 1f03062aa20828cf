#pragma once
// One function per tgm-cli command; argv[0] is the command's name.
namespace tgm::cli {

int cmd_info(int argc, char** argv);
int cmd_dump(int argc, char** argv);
int cmd_convert(int argc, char** argv);
int cmd_ports(int argc, char** argv);
int cmd_graph(int argc, char** argv);
int cmd_pdf(int argc, char** argv);
// The unit's tables; they take the options of link_options.h.
int cmd_read(int argc, char** argv);
int cmd_write(int argc, char** argv);
int cmd_clear(int argc, char** argv);
int cmd_compare(int argc, char** argv);
// The unit's console: --port only.
int cmd_console(int argc, char** argv);
bool takes_link_options(int (*run)(int argc, char** argv));

} // namespace tgm::cli
