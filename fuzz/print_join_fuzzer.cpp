// Any rendered pages join into one page with a section per page, whatever
// their heads, bodies and style sheets look like.
#include "navigation/PrintFile.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pages are separated by zero bytes.
    std::vector<std::string> pages(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && pages.size() < 8)
            pages.emplace_back();
        else
            pages.back() += static_cast<char>(data[i]);
    }
    // Every linked or imported sheet reads as the first page, so that the
    // style rules and sheets importing sheets see the same input.
    const std::string joined = quill::joinPages(pages, [&pages](std::string_view) {
        return std::optional<quill::LinkedStyleSheet>(quill::LinkedStyleSheet{pages.front(), "/sheets"});
    });
    if (joined.rfind("<!DOCTYPE html>", 0) != 0 || joined.find("</html>") == std::string::npos)
        std::abort();
    std::size_t sections = 0;
    for (std::size_t at = joined.find("<section class=\"print-page"); at != std::string::npos;
         at = joined.find("<section class=\"print-page", at + 1))
        ++sections;
    if (sections < pages.size())
        std::abort();
    return 0;
}
