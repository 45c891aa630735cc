#pragma once

#include <QIcon>
#include <QString>

#include <string_view>

class QAbstractItemView;
class QAction;
class QComboBox;
class QToolBar;
class QTreeWidget;
class QWidget;

namespace quill {
class Session;
struct WindowPlace;
} // namespace quill

namespace quill::ui {

// A text of the language files, for a view.
QString languageText(Session& session, std::string_view section, std::string_view key, std::string_view file = "GUI");

// An editable box offering the user's recently typed texts, completing as
// the user types.
void offerTextCache(QComboBox* box, const Session& session);
// Keeps a typed text for the next time.
void rememberText(Session& session, const QString& text);

// Puts a view where it was last, when it was ever closed; of a stored
// place off every screen only the size is taken.
void restorePlace(QWidget* view, const WindowPlace& place);
// Where a view is now, to be stored for the next time.
WindowPlace placeOf(const QWidget* view);

// Puts the rows of one group of a result tree (a top row and its children)
// on light grey, those of the others on the window colour; a row's group is
// its data under role.
void highlightGroup(QTreeWidget* tree, int role, int group);

class ImageLists;

// The toolbar picture of caption number n ("TOOLBUTTON" + n of section
// "TOOLSBAR"): normal, hot and disabled.
QIcon toolbarIcon(const ImageLists& images, int number);

// The caption number of every view's Help button.
inline constexpr int kHelpButton = 19;

// A toolbar button with that caption and picture; the Help button also
// answers F1.
QAction* addToolButton(QToolBar* bar, Session& session, const ImageLists& images, int number, const char* objectName);

// A menu entry whose text comes from data: an "&" in it is shown as it is,
// and the first of its letters that no other entry of the menu took
// becomes its access key. taken collects the keys given so far.
QString withAccessKey(const QString& text, QString& taken);

// Lets Shift+F10 and the Menu key open a tree's or list's context menu
// (customContextMenuRequested) at its current row.
void openContextMenuByKeyboard(QAbstractItemView* view);

} // namespace quill::ui
