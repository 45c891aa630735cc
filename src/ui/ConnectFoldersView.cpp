#include "ConnectFoldersView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "UserFoldersWizard.h"
#include "ViewSupport.h"

#include "navigation/ConnectedFolders.h"
#include "platform/Ui.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quill::ui {

ConnectFoldersView::ConnectFoldersView(Session& session, ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), list_(new QTreeWidget(this)) {
    setObjectName("TConnectFolders_Form");
    setWindowTitle(languageText(session, "CONNECTFOLDERS_FORM", "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = addToolButton(bar, session, images, 9, "Ok");
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    bar->addSeparator();
    QAction* add = addToolButton(bar, session, images, 22, "Add");
    QAction* remove = addToolButton(bar, session, images, 23, "Remove");
    QAction* up = addToolButton(bar, session, images, 26, "Up");
    QAction* down = addToolButton(bar, session, images, 27, "Down");
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok, &QAction::triggered, this, [this] { confirm(); });
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(add, &QAction::triggered, this, [this] { this->add(); });
    connect(remove, &QAction::triggered, this, [this] { this->remove(); });
    connect(up, &QAction::triggered, this, [this] { move(-1); });
    connect(down, &QAction::triggered, this, [this] { move(1); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "CONNECTFOLDERSFORM_HELPBUTTON"); });
    auto* okKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(okKey, &QShortcut::activated, this, [this] { confirm(); });

    list_->setObjectName("Folders");
    list_->setHeaderLabels({languageText(session, "CONNECTFOLDERS_FORM", "COLUMN1")});
    list_->setRootIsDecorated(false);
    list_->setIconSize(QSize(16, 16));
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    auto* label = new QLabel(languageText(session, "CONNECTFOLDERS_FORM", "LABEL1"), this);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    resize(640, 360);
}

bool ConnectFoldersView::run() {
    {
        BusyCursor busy(session_.ui);
        folders_ = readConnectedFolders(session_);
        replaced_ = false;
        fill(0);
    }
    exec();
    return replaced_;
}

void ConnectFoldersView::fill(std::size_t selected) {
    list_->clear();
    // A folder that is gone stays listed, with the plain folder's picture.
    for (const std::string& folder : folders_) {
        auto* row = new QTreeWidgetItem(list_, {toQt(folder)});
        row->setIcon(0, images_.treeIcon(connectedFolderPicture(session_, folder)));
    }
    if (selected < folders_.size())
        list_->setCurrentItem(list_->topLevelItem(static_cast<int>(selected)));
}

int ConnectFoldersView::selectedIndex() const {
    const QTreeWidgetItem* row = list_->currentItem();
    return row && row->isSelected() ? list_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(row)) : -1;
}

void ConnectFoldersView::add() {
    if (const auto folder = UserFoldersWizard(session_, images_, this).run(folders_)) {
        folders_.push_back(*folder);
        fill(folders_.size() - 1);
    }
}

void ConnectFoldersView::remove() {
    const int index = selectedIndex();
    if (index < 0)
        return;
    folders_.erase(folders_.begin() + index);
    fill(std::min<std::size_t>(static_cast<std::size_t>(index), folders_.size() - 1));
}

void ConnectFoldersView::move(int by) {
    const int index = selectedIndex();
    const int to = index + by;
    if (index < 0 || to < 0 || to >= static_cast<int>(folders_.size()))
        return;
    moveConnectedFolder(folders_, static_cast<std::size_t>(index), static_cast<std::size_t>(to));
    fill(static_cast<std::size_t>(to));
}

void ConnectFoldersView::confirm() {
    if (folders_.empty()) {
        session_.warn(MessageKind::Warning, "CONNECTFOLDERS_FORM", 1);
        return;
    }
    if (const Status status = writeConnectedFolders(session_, folders_); !status) {
        reportFailure(session_, status);
        return;
    }
    replaced_ = true;
    accept();
}

} // namespace quill::ui
