#pragma once

#include "formats/PostedForm.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The bytes a page posted, one character each.
std::string postedDataToText(const std::vector<std::uint8_t>& bytes);

// Decodes url-encoded form data ("A=1&B=x+y&SAVE=Save"). Every field in
// front of the last becomes a pair (name upper-cased; "on"/"off" values
// become "TRUE"/"FALSE"; a field without '=' gives an empty name and the
// whole field as its value; an empty field gives nothing). Only the name of
// the last field is kept: it is the button that sent the form.
PostedForm decodePostedForm(std::string_view data);

// '+' as a blank and %XX escapes as their bytes, in one pass; a '%' that is
// not followed by two hexadecimal digits stays as it is.
std::string decodeFormComponent(std::string_view text);

} // namespace quill
