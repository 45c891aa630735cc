#include "formats/FormData.h"

#include "platform/Cp1250.h"
#include "platform/TextUtil.h"

namespace quill {
namespace {

// The text in front of the first '='; a field without one has no name.
std::string nameOf(std::string_view field) {
    const std::size_t eq = field.find('=');
    return eq == std::string_view::npos ? std::string() : cp1250::upper(decodeFormComponent(field.substr(0, eq)));
}

} // namespace

std::string postedDataToText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string decodeFormComponent(std::string_view text) {
    return text::percentDecode(text, true);
}

PostedForm decodePostedForm(std::string_view data) {
    // Split before decoding, so that an encoded '&' or '=' typed into a
    // field stays part of its value.
    PostedForm form;
    std::size_t start = 0;
    for (std::size_t amp = data.find('&'); amp != std::string_view::npos; amp = data.find('&', start)) {
        const std::string_view field = data.substr(start, amp - start);
        start = amp + 1;
        if (field.empty())
            continue;
        const std::size_t eq = field.find('=');
        std::string name = nameOf(field);
        std::string value = decodeFormComponent(eq == std::string_view::npos ? field : field.substr(eq + 1));
        const std::string upperValue = cp1250::upper(value);
        if (upperValue == "ON")
            value = "TRUE";
        else if (upperValue == "OFF")
            value = "FALSE";
        form.pairs.emplace_back(std::move(name), std::move(value));
    }
    form.lastFieldName = nameOf(data.substr(start));
    return form;
}

} // namespace quill
