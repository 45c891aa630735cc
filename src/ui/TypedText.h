#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace quill {
class Session;
}

namespace quill::ui {

// What the user typed, in the code page the data point stores. A letter
// that code page cannot hold is never replaced: the user is told which
// letter it is (a beep and a warning over parent) and gets nothing back,
// so that the caller stores or searches nothing.
std::optional<std::string> storableText(Session& session, QWidget* parent, const QString& text);

// Whether every text box of a view holds only letters the data point can
// store; the first that does not is named in the warning and gets the
// focus, so that the user can change it before anything is stored.
bool storableBoxes(Session& session, QWidget* view);

// Whether a name typed for something new (a folder, a group) is one the
// library refuses; the user is then told why, from section ("FOLDER_NAME",
// "GROUP_NAME") of the warnings.
bool refuseName(Session& session, std::string_view section, std::string_view name);

} // namespace quill::ui
