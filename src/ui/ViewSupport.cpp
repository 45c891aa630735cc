#include "ViewSupport.h"

#include "ImageLists.h"
#include "QtText.h"

#include "session/Session.h"
#include "session/TextCache.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>

namespace quill::ui {

QString languageText(Session& session, std::string_view section, std::string_view key, std::string_view file) {
    return toQt(session.texts.lookup(section, key, file));
}

void offerTextCache(QComboBox* box, const Session& session) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->clear();
    for (const std::string& text : session.textCache.positions) {
        if (!text.empty())
            box->addItem(toQt(text));
    }
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    box->completer()->setCompletionMode(QCompleter::InlineCompletion);
}

void rememberText(Session& session, const QString& text) {
    if (!text.trimmed().isEmpty())
        addToTextCache(session, fromQt(text));
}

void restorePlace(QWidget* view, const WindowPlace& place) {
    if (!place.stored())
        return;
    const QRect wanted(place.left, place.top, place.width, place.height);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(wanted)) {
            view->setGeometry(wanted);
            return;
        }
    }
    view->resize(place.width, place.height);
}

WindowPlace placeOf(const QWidget* view) {
    const QRect place = view->geometry();
    return {place.top(), place.left(), place.width(), place.height()};
}

void highlightGroup(QTreeWidget* tree, int role, int group) {
    static const QColor focused(224, 224, 224);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        const QBrush background = top->data(0, role).toInt() == group ? QBrush(focused) : QBrush();
        top->setBackground(0, background);
        for (int j = 0; j < top->childCount(); ++j)
            top->child(j)->setBackground(0, background);
    }
}

QIcon toolbarIcon(const ImageLists& images, int number) {
    QIcon icon;
    const int index = number - 1;
    const std::pair<char, QIcon::Mode> kinds[] = {{'A', QIcon::Normal}, {'B', QIcon::Active}, {'C', QIcon::Disabled}};
    for (const auto& [kind, mode] : kinds) {
        const QList<QPixmap>& pictures = images.toolbarImages(kind);
        if (index >= 0 && index < pictures.size())
            addWithDoubleSize(icon, pictures[index], mode);
    }
    return icon;
}

QAction* addToolButton(QToolBar* bar, Session& session, const ImageLists& images, int number, const char* objectName) {
    QAction* action = bar->addAction(toolbarIcon(images, number),
                                     languageText(session, "TOOLSBAR", "TOOLBUTTON" + std::to_string(number)));
    action->setObjectName(objectName);
    // Every view's Help button answers F1 as well.
    if (number == kHelpButton)
        action->setShortcut(QKeySequence::HelpContents);
    return action;
}

namespace {

// Opens the view's context menu at its current row, where a right click
// would open it; the mouse may be anywhere.
class ContextMenuKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (!menuKey && !shiftF10)
            return false;
        auto* view = static_cast<QAbstractItemView*>(watched);
        const QRect row = view->visualRect(view->currentIndex());
        const QRect shown = view->viewport()->rect();
        const QPoint at = row.isValid() && shown.intersects(row)
                              ? QPoint(std::clamp(row.left() + 16, shown.left(), shown.right()), row.center().y())
                              : shown.topLeft();
        emit view->customContextMenuRequested(at);
        return true;
    }
};

} // namespace

QString withAccessKey(const QString& text, QString& taken) {
    QString shown = text;
    shown.replace(u'&', QStringLiteral("&&"));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar letter = shown.at(i).toLower();
        if (letter == u'&') {
            ++i; // the second of a pair that shows one
            continue;
        }
        if (!letter.isLetterOrNumber() || taken.contains(letter))
            continue;
        taken.append(letter);
        return shown.left(i) + u'&' + shown.mid(i);
    }
    return shown;
}

void openContextMenuByKeyboard(QAbstractItemView* view) {
    view->installEventFilter(new ContextMenuKeys(view));
}

} // namespace quill::ui
