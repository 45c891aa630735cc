#pragma once

#include "datapoint/DataPointInfo.h"
#include "platform/Status.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quill {

// Where the data point to copy keeps its parts: its documents live in the
// root and users root directories, which may lie inside it or elsewhere.
// The logs and the task directories are copied as empty directories.
struct DataPointSource {
    std::string dataPoint;
    std::string rootDirectory;
    std::string usersRootDirectory;
    std::string logsDirectory;
    std::string tasksDirectory;
};

// Called after each file copied, with the count so far and the whole count.
using CopyProgress = std::function<void(std::size_t copied, std::size_t total)>;

// Makes target a new data point from the system part of source: its
// definitions, resources, settings, user records and folder lists, the
// records of the root and of each user's folder area, and the task
// directories without their tasks; no documents and no log. Then writes
// DataPoint.info with description. Refused for a target inside the source
// (or the source inside it) and for a target that already holds a data
// point or any part of one. Symbolic links are never followed. A copy that
// fails (no right to write, disk full) removes everything it created, the
// target directory too when it made it, so no half data point is left.
// beforePlacing, when given, runs once everything is copied and before the
// new data point is put in place (it makes the data point known): a
// failure there undoes the creation, and a creation killed after it is
// simply made again.
Status createDataPointCopy(const DataPointSource& source, std::string_view target,
                           const DataPointDescription& description, const CopyProgress& progress = {},
                           const std::function<Status()>& beforePlacing = {});

} // namespace quill
