#pragma once
// Qt's painting for the drawing commands: a QGuiApplication on the offscreen platform, so that
// no display is needed, with Qt's own notes (no runtime folder, fonts) kept off the output.
#include <QGuiApplication>
#include <memory>

namespace tgm::cli {

class OffscreenPainting {
public:
    explicit OffscreenPainting(char* program_name);

private:
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace tgm::cli
