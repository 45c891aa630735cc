#pragma once

#include "platform/Result.h"
#include "platform/Status.h"
#include "platform/Ui.h"

#include <string_view>

namespace quill {
class Session;
} // namespace quill

namespace quill::ui {

// Shows a library failure the way every view does: the numbered warning of
// the language files, which the user can read in their own language, with
// the library's own words after it as the detail that tells what went
// wrong. The defaults fit the most common case, a change that could not be
// written. A success shows nothing.
void reportFailure(Session& session, const Status& failure, std::string_view section = "SYSTEM_IO", int number = 2,
                   MessageKind kind = MessageKind::Error);

template <class T>
void reportFailure(Session& session, const Result<T>& failure, std::string_view section = "SYSTEM_IO", int number = 2,
                   MessageKind kind = MessageKind::Error) {
    reportFailure(session, failure.status(), section, number, kind);
}

} // namespace quill::ui
