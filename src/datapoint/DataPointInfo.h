#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

class LanguageTexts;

// What DataPoint.info says about a data point. Root and users directories
// may use $DATA_POINT_PATH$ so that the data point works from any mount.
struct DataPointDescription {
    std::string creator;
    std::string mail;
    std::string www;
    std::string phone;
    std::string rootDirectory = "$DATA_POINT_PATH$\\DataPoint.root";
    std::string usersDirectory = "$DATA_POINT_PATH$\\DataPoint.users";
    bool autoLogon = false;
};

// The one test that makes a directory a data point: it holds DataPoint.info.
bool isDataPoint(std::string_view directory);

std::string dataPointInfoPath(std::string_view dataPoint);

// The eleven lines of DataPoint.info, each ended by CR LF. Fails for a
// value that cannot be held on one line.
Status dataPointInfoContent(const DataPointDescription& description, std::string& content);

// Writes dataPoint/DataPoint.info, replacing it atomically.
Status writeDataPointInfo(std::string_view dataPoint, const DataPointDescription& description);

// Whether the data point in directory allows automatic logon: its
// "AUTOLOGON" upper-cases to "TRUE". Read before any logon, so without a
// session.
bool dataPointAllowsAutoLogon(std::string_view dataPoint);

// Every key of the "DATAPOINT" section of the data point's DataPoint.info,
// in file order, its value expanded by texts as a text variable text.
std::vector<std::pair<std::string, std::string>> readDataPointInfo(LanguageTexts& texts, std::string_view dataPoint);

} // namespace quill
