// The folders of src/ depend one way. Each folder names the folders directly below it; a folder
// may include any folder below it, transitively. Only the drawing and the windows' folders may
// use Qt, and the drawing folder no widget.
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
    // The link in layers: ports, then each protocol on its own, then the table operations.
    {"ports", {"encoding"}},
    {"k_protocol", {"ports"}},
    {"v_protocol", {"ports"}},
    {"operations", {"k_protocol", "v_protocol", "encoding"}},
    {"console", {"operations"}},
    // A safe change of the unit's tables: the operations with the project's tables.
    {"changes", {"operations", "project"}},
    {"sim", {"operations", "encoding"}},
    // Drawing without a window, then the table editor and its shared widgets, then the windows.
    {"render", {"project"}},
    {"editor", {"render"}},
    {"app", {"editor", "project", "console", "sim", "changes"}},
};

// Qt may be used from here up; QtWidgets only above the drawing folder.
const std::set<std::string> kQtFolders = {"render", "editor", "app"};
const std::set<std::string> kNoWidgetFolders = {"render"};

// A QtWidgets header by its module prefix or by a class header of that module's folder.
bool is_widgets_header(const std::string& header) {
    if (header.rfind("QtWidgets", 0) == 0)
        return true;
#ifdef TGM_QT_WIDGETS_DIR
    return header.find('/') == std::string::npos &&
           fs::exists(fs::path(TGM_QT_WIDGETS_DIR) / header);
#else
    return false;
#endif
}

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
                const std::string to =
                    slash == std::string::npos ? folder : target.substr(0, slash);
                if (!allowed.count(to))
                    found.push_back(at + " (" + folder + " may not include " + to + ")");
            } else if (std::regex_search(line, m, angled)) {
                const std::string header = m[1].str();
                const bool qt = header.rfind("Q", 0) == 0 || header.rfind("qt", 0) == 0;
                if (qt && !kQtFolders.count(folder))
                    found.push_back(at + " (Qt outside the drawing and the windows)");
                else if (qt && kNoWidgetFolders.count(folder) && is_widgets_header(header))
                    found.push_back(at + " (QtWidgets in the drawing folder)");
            }
        }
    }
    return found;
}

} // namespace

// One way means no folder reaches itself through the folders below it.
TEST(Layers, TheOrderHasNoCycle) {
    for (const auto& [folder, below] : kBelow)
        for (const std::string& next : below) {
            ASSERT_TRUE(kBelow.count(next)) << folder << " names " << next;
            EXPECT_FALSE(reachable(next).count(folder)) << folder << " reaches itself via " << next;
        }
}

TEST(Layers, IncludesFollowTheFolderOrder) {
    const fs::path src = fs::path(TGM_SOURCE_ROOT) / "src";
    ASSERT_TRUE(fs::is_directory(src)) << src;
    const std::vector<std::string> bad = violations(src);
    std::string report;
    for (const std::string& line : bad)
        report += line + "\n";
    EXPECT_TRUE(bad.empty()) << report;
}
