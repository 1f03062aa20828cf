#pragma once
// Test helpers: a private temporary folder, file reading and writing, a recording message sink.
#include "support/message_sink.h"

#include <string>
#include <vector>

namespace tgm::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
// Folder of the example form files.
std::string examples_dir();

// Records every message shown while it is installed.
class RecordingSink : public MessageSink {
public:
    RecordingSink();
    ~RecordingSink() override;
    void show_message(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;

private:
    MessageSink* previous_;
};

} // namespace tgm::test
