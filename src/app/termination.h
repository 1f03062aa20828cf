#pragma once
// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C, a closed terminal) close the windows
// as the user would, so that the program ends through its own shut-down: the configuration and
// the day's report are written, and a modified project is asked about first.
class QObject;

namespace tgm {

// `owner` (the application) outlives the handling.
void close_windows_on_termination(QObject* owner);

} // namespace tgm
