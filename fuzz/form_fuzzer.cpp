// Any posted data decodes; pairs come only from fields in front of an '&'
// and their names are upper-cased.
#include "formats/FormData.h"
#include "platform/Cp1250.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const quill::PostedForm form = quill::decodePostedForm(input);
    if (form.pairs.size() > static_cast<std::size_t>(std::count(input.begin(), input.end(), '&')))
        std::abort();
    for (const auto& [name, value] : form.pairs) {
        // Decoding only shrinks a value; "off" becoming "FALSE" grows it by two.
        if (quill::cp1250::upper(name) != name || value.size() > input.size() + 2)
            std::abort();
    }
    if (quill::cp1250::upper(form.lastFieldName) != form.lastFieldName)
        std::abort();
    return 0;
}
