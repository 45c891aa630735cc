#include "ResourcesView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "ResourceWizards.h"
#include "ViewSupport.h"

#include "navigation/ResourceImages.h"
#include "platform/Cp1250.h"
#include "platform/Ui.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quill::ui {

ResourcesView::ResourcesView(Session& session, ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), list_(new QListWidget(this)) {
    setObjectName("TResources_Form");
    setWindowTitle(languageText(session, "RESOURCES_FORM", "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = addToolButton(bar, session, images, 9, "Ok");
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    bar->addSeparator();
    QAction* add = addToolButton(bar, session, images, 22, "Add");
    QAction* remove = addToolButton(bar, session, images, 23, "Delete");
    QAction* refresh = addToolButton(bar, session, images, 7, "Refresh");
    QAction* view = addToolButton(bar, session, images, 25, "View");
    auto* styles = new QMenu(this);
    styles->addAction(languageText(session, "POPUPMENU", "VIEWMENU1"))->setEnabled(false);
    styles->addAction(languageText(session, "POPUPMENU", "VIEWMENU2"), this, [this] { setStyle(Style::SmallIcons); });
    styles->addAction(languageText(session, "POPUPMENU", "VIEWMENU3"), this, [this] { setStyle(Style::List); });
    styles->addAction(languageText(session, "POPUPMENU", "VIEWMENU4"), this, [this] { setStyle(Style::Details); });
    view->setMenu(styles);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(view)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok, &QAction::triggered, this, &QDialog::accept);
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(refresh, &QAction::triggered, this, [this] { fill(current_); });
    connect(add, &QAction::triggered, this, [this] { addImage(); });
    connect(remove, &QAction::triggered, this, [this] { deleteImage(); });
    connect(view, &QAction::triggered, this, [this] {
        setStyle(style_ == Style::SmallIcons ? Style::List
                 : style_ == Style::List     ? Style::Details
                                             : Style::SmallIcons);
    });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "RESOURCESFORM_HELPBUTTON"); });

    list_->setObjectName("Images");
    list_->setIconSize(QSize(16, 16));
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(new QLabel(languageText(session, "RESOURCES_FORM", "LABEL1"), this));
    layout->addWidget(list_);
    layout->addWidget(new QLabel(languageText(session, "RESOURCES_FORM", "LABEL2"), this));
    setStyle(Style::List);
    resize(540, 460);
    restorePlace(this, session.context.geometry.resources);
}

std::optional<std::string> ResourcesView::pick(const std::string& current) {
    current_ = current;
    fill(current);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const QListWidgetItem* chosen = list_->currentItem();
    if (!chosen || !chosen->isSelected())
        return current;
    return cp1250::upper(fromQt(chosen->text()));
}

void ResourcesView::fill(const std::string& current) {
    BusyCursor busy(session_.ui);
    list_->clear();
    const auto& entries = images_.names().entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        new QListWidgetItem(images_.treeIcon(static_cast<int>(i)), toQt(entries[i].name), list_);
    list_->sortItems();
    if (style_ == Style::SmallIcons)
        list_->setGridSize(iconGrid());
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (!current.empty() && cp1250::equalsNoCase(fromQt(item->text()), current)) {
            list_->setCurrentItem(item);
            list_->scrollToItem(item);
            break;
        }
    }
}

void ResourcesView::addImage() {
    if (AddResourcesWizard(session_, this).run())
        images_.reloadTreeImages(session_.context.settings.resourceDirectory);
    fill(current_);
}

void ResourcesView::deleteImage() {
    const QListWidgetItem* chosen = list_->currentItem();
    if (!chosen || !chosen->isSelected())
        return;
    const std::string name = fromQt(chosen->text());
    if (isMainTreeImage(session_, name)) {
        session_.warn(MessageKind::Warning, "ADDRESOURCES_FORM", 1);
        return;
    }
    const QString question = languageText(session_, "ADDRESOURCES_FORM", "QUESTION_1", "Questions");
    if (QMessageBox::question(this, windowTitle(), question) != QMessageBox::Yes)
        return;
    if (const Status status = deleteResourceImage(session_, name); !status)
        reportFailure(session_, status);
    images_.reloadTreeImages(session_.context.settings.resourceDirectory);
    fill(current_);
}

void ResourcesView::setStyle(Style style) {
    style_ = style;
    switch (style) {
    case Style::SmallIcons:
        list_->setViewMode(QListView::IconMode);
        list_->setFlow(QListView::LeftToRight);
        list_->setWrapping(true);
        list_->setWordWrap(true);
        list_->setGridSize(iconGrid());
        break;
    case Style::List:
        list_->setViewMode(QListView::ListMode);
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(true);
        list_->setGridSize(QSize());
        break;
    case Style::Details:
        list_->setViewMode(QListView::ListMode);
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(false);
        list_->setGridSize(QSize());
        break;
    }
    list_->setResizeMode(QListView::Adjust);
}

QSize ResourcesView::iconGrid() const {
    // Each cell as wide as the longest name, so that no name is cut off;
    // room for two lines where a name breaks at a blank.
    const QFontMetrics metrics(list_->font());
    int widest = list_->iconSize().width();
    for (int row = 0; row < list_->count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(list_->item(row)->text()));
    const int padding = 2 * metrics.averageCharWidth();
    return {widest + padding, list_->iconSize().height() + 2 * metrics.lineSpacing() + padding};
}

void ResourcesView::done(int result) {
    session_.context.geometry.resources = placeOf(this);
    QDialog::done(result);
}

} // namespace quill::ui
