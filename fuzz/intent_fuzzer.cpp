// Any bytes read as the intent of an interrupted change, as a recovery
// reads it from the shared journal: nothing it names lies outside the data
// point, however the paths are spelt.
#include "platform/FileTransaction.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kBase = "/dp";
    std::vector<std::string> touched;
    if (!quill::readTransactionIntent(text, kBase, &touched))
        return 0;
    for (const std::string& path : touched) {
        const std::string_view p(path);
        if (p.substr(0, kBase.size() + 1) != "/dp/" || p.find("/../") != std::string_view::npos ||
            p.find("/./") != std::string_view::npos || p.find("//") != std::string_view::npos ||
            p.substr(p.size() - 3) == "/.." || p.substr(p.size() - 2) == "/.")
            std::abort();
    }
    return 0;
}
