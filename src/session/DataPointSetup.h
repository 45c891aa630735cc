#pragma once

#include "datapoint/DataPointCreation.h"
#include "platform/Status.h"

#include <string_view>

namespace quill {

class Session;

// Creates a data point in target from the system part of the current one
// (when no data point is open yet, the one the known list selects). On success the
// new data point is appended to the known list and becomes its actual
// entry, and a first start is over: the program directory's "firststart"
// goes. An open session keeps working on its own data point: only the list
// changes, so that nothing it writes goes astray.
// beforePlacing: see createDataPointCopy.
Status createNewDataPoint(Session& session, std::string_view target, const DataPointDescription& description,
                          const CopyProgress& progress = {}, const std::function<Status()>& beforePlacing = {});

} // namespace quill
