// Any bytes read as a schedule cache: what reads back writes out the same.
#include "session/ScheduleCache.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const quill::ScheduleCache cache = quill::ScheduleCache::parse(input, "/dp", 0);
    const std::string content = cache.serialize();
    if (quill::ScheduleCache::parse(content, "/dp", 0).serialize() != content)
        std::abort();
    return 0;
}
