#pragma once

#include "platform/Status.h"

#include <string_view>

namespace quill {

class Record;
class Session;

// What the page pane does with a form a page posted: decodes the body, and
// for the button "SAVE_DATA" stores the fields into the file shownRecord
// was read from (the record the page showed last); for
// "SAVE_INI" into the ini file named in the address after "SAVE_INI" and one
// separator, existing keys only. An ini file must lie in the data point or
// the local copy of its resources: the address comes from a page, which is
// shared data. Succeeds when the form was stored; a failure tells why
// nothing was.
Status handlePostedForm(Session& session, std::string_view address, std::string_view body, const Record& shownRecord);

} // namespace quill
