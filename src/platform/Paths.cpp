#include "platform/Paths.h"

#include "platform/Cp1250.h"

namespace quill::path {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string normalize(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '\\')
            c = '/';
    }
    return out;
}

std::string join(std::string_view dir, std::string_view name) {
    std::string out = normalize(dir);
    if (!out.empty() && out.back() != '/')
        out += '/';
    out += normalize(name);
    return out;
}

std::string withTrailingSeparator(std::string_view path) {
    std::string out = normalize(path);
    if (out.empty() || out.back() != '/')
        out += '/';
    return out;
}

std::string withoutTrailingSeparator(std::string_view path) {
    std::string out = normalize(path);
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string comparableFolder(std::string_view path) {
    return cp1250::upper(withoutTrailingSeparator(path));
}

static std::size_t lastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

std::string fileName(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string directory(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    if (sep == 0)
        return "/";
    return normalize(path.substr(0, sep));
}

static std::size_t extensionStart(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    const std::size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart)
        return std::string_view::npos;
    return dot;
}

std::string extension(std::string_view path) {
    const std::size_t dot = extensionStart(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string withoutExtension(std::string_view path) {
    const std::size_t dot = extensionStart(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string changeExtension(std::string_view path, std::string_view newExtension) {
    return withoutExtension(path) + std::string(newExtension);
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (isSeparator(c) || c == '\0')
            return false;
    }
    return true;
}

} // namespace quill::path
