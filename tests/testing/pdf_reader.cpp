#include "testing/pdf_reader.h"

#include <cstdio>
#include <regex>

namespace tgm::test {
namespace {

std::string output_of(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

} // namespace

int pdf_pages(const std::string& path) {
    std::smatch m;
    const std::string info = output_of("pdfinfo " + quoted(path) + " 2>/dev/null");
    return std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(m[1]) : -1;
}

std::string pdf_text(const std::string& path, int first, int last) {
    std::string command = "pdftotext -layout -f " + std::to_string(first);
    if (last > 0)
        command += " -l " + std::to_string(last);
    return output_of(command + " " + quoted(path) + " - 2>/dev/null");
}

} // namespace tgm::test
