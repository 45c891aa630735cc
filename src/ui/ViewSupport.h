#pragma once

#include <QIcon>
#include <QString>

#include <string_view>

class QAction;
class QComboBox;
class QToolBar;
class QTreeWidget;
class QWidget;

namespace quill {
class Session;
}

namespace quill::ui {

// A text of the language files, for a view.
QString languageText(Session& session, std::string_view section, std::string_view key, std::string_view file = "GUI");

// An editable box offering the user's recently typed texts, completing as
// the user types.
void offerTextCache(QComboBox* box, const Session& session);
// Keeps a typed text for the next time.
void rememberText(Session& session, const QString& text);

// Puts a view where it was last, when it was ever closed; a stored place
// off every screen is ignored.
void restorePlace(QWidget* view, int top, int left, int width, int height);
void storePlace(const QWidget* view, int& top, int& left, int& width, int& height);

// Puts the rows of one group of a result tree (a top row and its children)
// on light grey, those of the others on the window colour; a row's group is
// its data under role.
void highlightGroup(QTreeWidget* tree, int role, int group);

class ImageLists;

// The toolbar picture of caption number n ("TOOLBUTTON" + n of section
// "TOOLSBAR"): normal, hot and disabled.
QIcon toolbarIcon(const ImageLists& images, int number);

// A toolbar button with that caption and picture.
QAction* addToolButton(QToolBar* bar, Session& session, const ImageLists& images, int number, const char* objectName);

} // namespace quill::ui
