#include "formats/PageAddress.h"

#include "platform/Cp1250.h"
#include "platform/TextUtil.h"

namespace quill {
namespace {

constexpr std::string_view kCommandScheme = "COMMAND:";

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// What a browser does with a letter it cannot put in the page's code page.
std::string characterReference(char32_t codePoint) {
    return "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ';';
}

void appendEncoded(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= 'a' && byte <= 'z') || byte == '*' || byte == '-' || byte == '.' || byte == '_';
        if (plain) {
            out += static_cast<char>(byte);
        } else if (byte == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
}

void appendComponent(std::string& out, std::string_view utf8) {
    appendEncoded(out, cp1250::fromUtf8(withCrLf(utf8), characterReference));
}

} // namespace

std::string executorAddress(std::string_view encodedUrl) {
    std::string address = cp1250::fromUtf8(text::percentDecode(encodedUrl));
    if (cp1250::startsWithNoCase(address, kCommandScheme))
        address.replace(0, kCommandScheme.size(), kCommandScheme);
    return address;
}

std::string urlEncodedFormBody(const std::vector<PageFormField>& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        if (!body.empty())
            body += '&';
        appendComponent(body, name);
        body += '=';
        appendComponent(body, value);
    }
    return body;
}

} // namespace quill
