#include "datapoint/DataPointInfo.h"

#include "formats/IniDocument.h"
#include "formats/LanguageTexts.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

namespace quill {
namespace {
// A description is a dozen short lines; anything far larger is no such file.
constexpr std::size_t kMaxInfoBytes = 1 << 20;
} // namespace

bool isDataPoint(std::string_view directory) {
    return !directory.empty() && fs::isRegularFile(dataPointInfoPath(directory));
}

std::string dataPointInfoPath(std::string_view dataPoint) {
    return path::join(dataPoint, "DataPoint.info");
}

Status dataPointInfoContent(const DataPointDescription& d, std::string& content) {
    const std::pair<const char*, const std::string*> values[] = {
        {"CREATOR=", &d.creator}, {"MAIL=", &d.mail},          {"WWW=", &d.www},
        {"PHONE=", &d.phone},     {"ROOT=", &d.rootDirectory}, {"USERS=", &d.usersDirectory},
    };
    for (const auto& [key, value] : values) {
        if (text::containsLineBreak(*value) || value->find('\0') != std::string::npos)
            return Status::failure(std::string(key) + " value holds a line break");
    }
    const char* br = "\r\n";
    content.clear();
    content += std::string("[DATAPOINT]") + br;
    for (int i = 0; i < 4; ++i)
        content += values[i].first + *values[i].second + br;
    content += br;
    content += values[4].first + *values[4].second + br;
    content += values[5].first + *values[5].second + br;
    content += br;
    content += std::string(d.autoLogon ? "AUTOLOGON=TRUE" : "AUTOLOGON=FALSE") + br;
    content += br;
    return Status::success();
}

Status writeDataPointInfo(std::string_view dataPoint, const DataPointDescription& description) {
    std::string content;
    if (Status s = dataPointInfoContent(description, content); !s)
        return s;
    return replaceFile(dataPointInfoPath(dataPoint), content);
}

bool dataPointAllowsAutoLogon(std::string_view dataPoint) {
    const fs::ReadResult read = fs::readFile(dataPointInfoPath(dataPoint), kMaxInfoBytes);
    if (!read.ok())
        return false;
    const auto value = IniDocument::parse(read.content).value("DATAPOINT", "AUTOLOGON");
    return value && text::isTrue(text::trim(*value));
}

std::vector<std::pair<std::string, std::string>> readDataPointInfo(LanguageTexts& texts, std::string_view dataPoint) {
    std::vector<std::pair<std::string, std::string>> result;
    const std::string file = dataPointInfoPath(dataPoint);
    const fs::ReadResult read = fs::readFile(file, kMaxInfoBytes);
    if (!read.ok())
        return result;
    for (const std::string& key : IniDocument::parse(read.content).keys("DATAPOINT")) {
        std::string value = texts.readPlain("DATAPOINT", key, file);
        // Paths such as "$DATA_POINT_PATH$\DataPoint.root" come with the
        // platform's separators.
        if (value.find('\\') != std::string::npos && fs::exists(value))
            value = path::normalize(value);
        result.emplace_back(key, std::move(value));
    }
    return result;
}

} // namespace quill
