#pragma once

#include "platform/Status.h"

#include <string_view>

namespace quill {

struct ProgramValues;
class RegistryStore;

// Shown as it is: without the language files there is nothing to say it
// in another language.
inline constexpr std::string_view kNoLanguageDirectoryMessage = "Language directory not exists.";

enum class ProgramStart {
    Ready,
    NoLanguageDirectory, // the program has to end with kNoLanguageDirectoryMessage
};

// Reads the known data points, the automatic logon wish and the stored
// password from the registry into values (whose directories and names are
// already set). On the first run for this user the key is created with its
// defaults, and the sample data point beside the program becomes the one
// known data point when it is there.
ProgramStart initialiseProgram(ProgramValues& values, RegistryStore& registry);

// Writes back what a successful logon chose: the automatic logon wish,
// every known data point from DataPointPath_0 on without gaps, the index of
// the one used and the password, enciphered. Empty list entries are left
// out, since a reader stops at the first empty value and would lose every
// path after it.
Status writeRegistryValues(RegistryStore& registry, const ProgramValues& values, bool autoLogon,
                           std::string_view password);

// Adds a data point to the known list stored for this user and makes it the
// actual one, leaving the password and the other entries as they are.
Status storeNewKnownDataPoint(RegistryStore& registry, std::string_view dataPoint);

} // namespace quill
