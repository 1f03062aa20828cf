// The folders of src/ depend one way. Each folder names the folders directly below it; a folder
// may include any folder below it, transitively. Only the windows' folders may use Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::map<std::string, std::vector<std::string>> kBelow = {
    {"support", {}},
    {"model", {"support"}},
    {"forms", {"model"}},
    {"project", {"forms"}},
    {"encoding", {"model"}},
    {"link", {"encoding"}},
    {"console", {"link"}},
    {"sim", {"link", "encoding"}},
    // The windows are one layer on top of everything.
    {"app", {"project", "console", "sim", "editor"}},
    {"editor", {"project", "console", "sim", "app"}},
};

const std::set<std::string> kQtFolders = {"app", "editor"};

std::set<std::string> reachable(const std::string& folder) {
    std::set<std::string> seen;
    std::vector<std::string> todo = kBelow.at(folder);
    while (!todo.empty()) {
        const std::string next = todo.back();
        todo.pop_back();
        if (seen.insert(next).second)
            for (const std::string& below : kBelow.at(next))
                todo.push_back(below);
    }
    seen.insert(folder);
    return seen;
}

// Every include against the order, one line each: "file:line: text (reason)".
std::vector<std::string> violations(const fs::path& src) {
    static const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    static const std::regex angled(R"(^\s*#\s*include\s*<([^>]+)>)");
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const fs::path rel = fs::relative(entry.path(), src);
        const std::string folder = rel.begin()->string();
        const std::string where = "src/" + rel.generic_string();
        if (!kBelow.count(folder)) {
            found.push_back(where + ": folder " + folder + " has no place in the layer order");
            continue;
        }
        const std::set<std::string> allowed = reachable(folder);
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch m;
            const std::string at = where + ":" + std::to_string(number) + ": " + line;
            if (std::regex_search(line, m, quoted)) {
                const std::string target = m[1].str();
                const auto slash = target.find('/');
                const std::string to = slash == std::string::npos ? folder : target.substr(0, slash);
                if (!allowed.count(to))
                    found.push_back(at + " (" + folder + " may not include " + to + ")");
            } else if (std::regex_search(line, m, angled) && !kQtFolders.count(folder)) {
                const std::string header = m[1].str();
                if (header.rfind("Q", 0) == 0 || header.rfind("qt", 0) == 0)
                    found.push_back(at + " (Qt outside the windows)");
            }
        }
    }
    return found;
}

} // namespace

TEST(Layers, IncludesFollowTheFolderOrder) {
    const fs::path src = fs::path(TGM_SOURCE_ROOT) / "src";
    ASSERT_TRUE(fs::is_directory(src)) << src;
    const std::vector<std::string> bad = violations(src);
    std::string report;
    for (const std::string& line : bad)
        report += line + "\n";
    EXPECT_TRUE(bad.empty()) << report;
}
