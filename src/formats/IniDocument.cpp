#include "formats/IniDocument.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/TextUtil.h"

namespace quill {
namespace {

struct ParsedLine {
    bool isSection = false;
    bool isKey = false;
    std::string_view name;
    std::string_view value;
};

ParsedLine parseLine(std::string_view raw) {
    ParsedLine p;
    const std::string_view line = text::trim(raw);
    if (!line.empty() && line.front() == '[') {
        const std::size_t close = line.find(']');
        p.isSection = true;
        p.name = text::trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return p;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return p;
    p.isKey = true;
    p.name = text::trim(line.substr(0, eq));
    p.value = line.substr(eq + 1);
    return p;
}

} // namespace

std::string iniValueOf(std::string_view rawValue) {
    std::string_view v = text::trim(rawValue);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string IniDocument::indexKey(std::string_view section, std::string_view key) {
    std::string k = cp1250::upper(section);
    k += '\0';
    k += cp1250::upper(key);
    return k;
}

void IniDocument::indexLine(std::size_t index) {
    const Line& line = lines_[index];
    if (line.isSectionHeader) {
        sectionLines_.emplace(line.section, index);
    } else if (line.isKey) {
        std::string k = line.section;
        k += '\0';
        k += line.key;
        keyLines_.emplace(std::move(k), index);
    }
}

IniDocument IniDocument::parse(std::string_view content) {
    IniDocument doc;
    std::string currentSection;
    bool inSection = false;
    for (std::string_view raw : text::splitLines(content)) {
        Line line;
        line.text = std::string(raw);
        const ParsedLine parsed = parseLine(raw);
        if (parsed.isSection) {
            currentSection = cp1250::upper(parsed.name);
            inSection = true;
            line.isSectionHeader = true;
            line.section = currentSection;
        } else {
            line.section = currentSection;
            if (parsed.isKey && inSection) {
                line.isKey = true;
                line.key = cp1250::upper(parsed.name);
            }
        }
        doc.lines_.push_back(std::move(line));
        doc.indexLine(doc.lines_.size() - 1);
    }
    return doc;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const auto it = keyLines_.find(indexKey(section, key));
    if (it == keyLines_.end())
        return std::nullopt;
    return iniValueOf(parseLine(lines_[it->second].text).value);
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> result;
    const std::string wanted = cp1250::upper(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        // Only the line that wins a key's lookup lists it; a second section
        // of the same name is never read.
        if (line.isKey && line.section == wanted && keyLines_.at(indexKey(section, line.key)) == i)
            result.push_back(std::string(text::trim(parseLine(line.text).name)));
    }
    return result;
}

Status IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (text::containsLineBreak(value) || value.find('\0') != std::string_view::npos)
        return Status::failure("the value of " + std::string(key) + " does not fit on one line");
    const std::string sectionUpper = cp1250::upper(section);
    const std::string newLine = std::string(text::trim(key)) + "=" + std::string(value);
    if (const auto it = keyLines_.find(indexKey(section, key)); it != keyLines_.end()) {
        // Keep the key as the file spells it.
        Line& line = lines_[it->second];
        line.text = std::string(parseLine(line.text).name) + "=" + std::string(value);
        return Status::success();
    }
    Line line;
    line.text = newLine;
    line.section = sectionUpper;
    line.key = cp1250::upper(text::trim(key));
    line.isKey = true;
    std::size_t insertAt = lines_.size();
    if (const auto header = sectionLines_.find(sectionUpper); header != sectionLines_.end()) {
        // After the last line of that section that is not blank.
        insertAt = header->second + 1;
        for (std::size_t i = header->second + 1; i < lines_.size() && !lines_[i].isSectionHeader; ++i) {
            if (!text::trim(lines_[i].text).empty())
                insertAt = i + 1;
        }
    } else {
        Line headerLine;
        headerLine.text = "[" + std::string(section) + "]";
        headerLine.section = sectionUpper;
        headerLine.isSectionHeader = true;
        lines_.push_back(std::move(headerLine));
        insertAt = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    // Line numbers moved: index again from scratch.
    keyLines_.clear();
    sectionLines_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i)
        indexLine(i);
    return Status::success();
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += kLineBreak;
    }
    return out;
}

} // namespace quill
