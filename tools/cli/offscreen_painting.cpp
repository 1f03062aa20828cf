#include "offscreen_painting.h"

#include <cstdio>

namespace tgm::cli {
namespace {

void quiet_qt(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

OffscreenPainting::OffscreenPainting(char* program_name) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet_qt);
    argv_[0] = program_name;
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

} // namespace tgm::cli
