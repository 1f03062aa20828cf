#include "forms/form_kind.h"

#include "support/cp1251.h"
#include "support/platform.h"

#include <cctype>

namespace tgm {
namespace {

constexpr const char* kExtensions[] = {"", ".fs", ".fs1", ".fs2", ".fs31", ".fs32", ".f1"};

// Position of the extension's "." within the last path component, or npos.
std::size_t extension_dot(const std::string& name) {
    const std::size_t slash = last_path_separator(name);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

bool equal_ignoring_case(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i])
            return false;
    return i == a.size() && b[i] == '\0';
}

} // namespace

const char* form_extension(int code) { return code >= 1 && code <= 6 ? kExtensions[code] : ""; }

bool is_single_table_kind(int code) { return code == kFormFs31 || code == kFormFs32; }

bool is_cubic_kind(int code) { return code == kFormFs1 || code == kFormFs31; }

bool level_is_index_kind(int code) { return code >= kFormFs && code <= kFormFs32; }

int form_type_of_file(const std::string& file_name) {
    const std::size_t dot = extension_dot(file_name);
    if (dot == std::string::npos)
        return kFormNone;
    const std::string ext = file_name.substr(dot);
    for (int code = 1; code <= 6; ++code)
        if (equal_ignoring_case(ext, kExtensions[code]))
            return code;
    return kFormNone;
}

std::string form_file_name(const std::string& file_name, int code) {
    const std::size_t dot = extension_dot(file_name);
    const std::string base = dot == std::string::npos ? file_name : file_name.substr(0, dot);
    return base + form_extension(code);
}

std::string numbered_file_name(const std::string& file_name, int k) {
    if (k < 0)
        return file_name;
    const std::size_t dot = extension_dot(file_name);
    const std::string suffix = "_t" + std::to_string(k + 1);
    if (dot == std::string::npos)
        return file_name + suffix;
    return file_name.substr(0, dot) + suffix + file_name.substr(dot);
}

std::string single_table_name(const std::string& file_name) {
    const std::size_t slash = last_path_separator(file_name);
    std::string base = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
    const std::size_t dot = base.find('.');
    if (dot != std::string::npos)
        base.erase(dot);
    return utf8_to_cp1251(base);
}

} // namespace tgm
