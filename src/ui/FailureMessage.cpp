#include "ui/FailureMessage.h"

#include "session/Session.h"

namespace quill::ui {

void reportFailure(Session& session, const Status& failure, std::string_view section, int number, MessageKind kind) {
    if (failure)
        return;
    session.warn(kind, section, number, failure.message());
}

} // namespace quill::ui
