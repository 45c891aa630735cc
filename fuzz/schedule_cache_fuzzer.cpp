// Any bytes read as a schedule cache, or as one kept reading: what reads
// back writes out the same.
#include "session/ScheduleCache.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string content = quill::ScheduleCache::parse(std::string(input), "/dp", 0).serialize();
    if (quill::ScheduleCache::parse(content, "/dp", 0).serialize() != content)
        std::abort();
    if (const auto reading = quill::ScheduleCache::readingFrom(input, "/dp/x");
        reading && quill::ScheduleCache::readingText(*reading) != input)
        std::abort();
    return 0;
}
