// Collapsing ends for any text and any names, also names that occur inside
// the variables collapse inserts, and the text grows by a bounded factor.
#include "FuzzSupport.h"

#include "session/Session.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static quill::SystemClock clock;
    static quill::SilentUi ui;
    static quill::fuzz::NoShell shell;
    static quill::Session session(quill::ProgramValues{}, clock, ui, shell);
    // Input: data point path, logon name and full name, each ended by a
    // line feed, then the text.
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (std::string& part : parts) {
        const std::size_t end = input.find('\n');
        if (end == std::string_view::npos)
            return 0;
        part = std::string(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    session.context.dataPointPath = parts[0];
    session.program.logonName = parts[1];
    session.program.fullName = parts[2];
    const std::string result = session.variables.collapse(input);
    // Each replacement takes at least one byte and inserts at most 18.
    if (result.size() > 18 * input.size())
        std::abort();
    return 0;
}
