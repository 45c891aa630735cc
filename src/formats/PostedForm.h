#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quill {

// The fields of a form that a page posted: (name, value) pairs with the
// names upper-cased, and the name of the last field (the button that sent
// the form), whose value is not kept.
struct PostedForm {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string lastFieldName;
};

} // namespace quill
