#include "PropertiesView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "ResourcesView.h"
#include "TypedText.h"
#include "UsersView.h"
#include "ViewSupport.h"

#include "navigation/FolderProperties.h"
#include "platform/Paths.h"
#include "session/EventLog.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace quill::ui {
namespace {

// The edit group changes of folder settings are recorded under.
constexpr int kFolderSettingsEdit = 40;

QString tabText(Session& session, const char* key) {
    return languageText(session, "PROPERTYES_FORM", key);
}

} // namespace

PropertiesView::PropertiesView(Session& session, ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), tabs_(new QTabWidget(this)) {
    setObjectName("TPropertyes_Form");
    setWindowTitle(tabText(session, "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = addToolButton(bar, session, images, 9, "Ok");
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok, &QAction::triggered, this, [this] { save(); });
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "PROPERTYFORM_HELPBUTTON"); });
    auto* okKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(okKey, &QShortcut::activated, this, [this] { save(); });

    tabs_->addTab(factsTab(), tabText(session, "TABSHEET1"));
    settings_ = settingsTab();
    tabs_->addTab(settings_, tabText(session, "TABSHEET2"));
    tabs_->addTab(historyTab(), tabText(session, "TABSHEET3"));
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(tabs_);
    resize(480, 420);
}

QWidget* PropertiesView::factsTab() {
    auto* tab = new QWidget(this);
    auto* form = new QFormLayout(tab);
    for (int i = 0; i < 9; ++i) {
        facts_[i] = new QLabel(tab);
        facts_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        facts_[i]->setWordWrap(true);
    }
    // The picture beside the name, then one line per fact.
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(facts_[0]);
    nameRow->addWidget(facts_[1], 1);
    form->addRow(tabText(session_, "TAB1LABEL1"), nameRow);
    const char* labels[] = {"TAB1LABEL2", "TAB1LABEL3", "TAB1LABEL4", "TAB1LABEL5",
                            "TAB1LABEL6", "TAB1LABEL7", "TAB1LABEL8"};
    for (int i = 0; i < 7; ++i)
        form->addRow(tabText(session_, labels[i]), facts_[i + 2]);
    return tab;
}

QWidget* PropertiesView::settingsTab() {
    auto* tab = new QWidget(this);
    auto* form = new QFormLayout(tab);
    const auto field = [&](const char* name, bool readOnly) {
        auto* box = new QLineEdit(tab);
        box->setObjectName(name);
        box->setReadOnly(readOnly);
        return box;
    };
    const auto withButton = [&](QLineEdit* box, QPushButton*& button, const char* key, const char* name) {
        auto* row = new QHBoxLayout;
        row->addWidget(box, 1);
        button = new QPushButton(tabText(session_, key), tab);
        button->setObjectName(name);
        button->setAutoDefault(false);
        row->addWidget(button);
        return row;
    };
    name_ = field("Name", false);
    note_ = field("Note", false);
    url_ = field("Url", false);
    icon_ = field("Icon", true);
    owner_ = field("Owner", true);
    rights_ = field("Rights", true);
    form->addRow(tabText(session_, "TAB2LABEL1"), name_);
    form->addRow(tabText(session_, "TAB2LABEL2"), note_);
    form->addRow(tabText(session_, "TAB2LABEL3"), url_);
    form->addRow(tabText(session_, "TAB2LABEL4"), withButton(icon_, pickIcon_, "TAB2BUTTON1", "PickIcon"));
    form->addRow(tabText(session_, "TAB2LABEL5"), withButton(owner_, pickOwner_, "TAB2BUTTON2", "PickOwner"));
    form->addRow(tabText(session_, "TAB2LABEL6"), withButton(rights_, pickRights_, "TAB2BUTTON3", "PickRights"));
    lock_ = new QCheckBox(tabText(session_, "TAB2CHECKBOX1"), tab);
    lock_->setObjectName("Lock");
    form->addRow(lock_);
    auto* lockNote = new QLabel(tabText(session_, "TAB2LABEL7"), tab);
    lockNote->setWordWrap(true);
    form->addRow(lockNote);

    connect(name_, &QLineEdit::textEdited, this, [this] { changed(true); });
    connect(note_, &QLineEdit::textEdited, this, [this] { changed(); });
    connect(url_, &QLineEdit::textEdited, this, [this] { changed(); });
    connect(lock_, &QCheckBox::clicked, this, [this] { changed(); });
    connect(pickIcon_, &QPushButton::clicked, this, [this] {
        if (const auto picked = ResourcesView(session_, images_, this).pick(fromQt(icon_->text()))) {
            icon_->setText(toQt(*picked));
            changed();
        }
    });
    const auto pickUsers = [this](QLineEdit* box) {
        if (const auto picked = UsersView(session_, images_, this).pick(fromQt(box->text()))) {
            box->setText(toQt(*picked));
            changed();
        }
    };
    connect(pickOwner_, &QPushButton::clicked, this, [this, pickUsers] { pickUsers(owner_); });
    connect(pickRights_, &QPushButton::clicked, this, [this, pickUsers] { pickUsers(rights_); });
    return tab;
}

QWidget* PropertiesView::historyTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(new QLabel(tabText(session_, "TAB3LABEL1"), tab));
    history_ = new QListWidget(tab);
    history_->setObjectName("History");
    history_->setIconSize(QSize(16, 16));
    layout->addWidget(history_, 1);
    deleteHistory_ = new QPushButton(tabText(session_, "TAB3BUTTON1"), tab);
    deleteHistory_->setObjectName("DeleteHistory");
    deleteHistory_->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(deleteHistory_);
    layout->addLayout(row);
    connect(deleteHistory_, &QPushButton::clicked, this, [this] {
        if (const Status status = clearHistory(file_); !status)
            reportFailure(session_, status);
        fillHistory();
    });
    return tab;
}

PropertiesAnswer PropertiesView::show(const std::string& path, bool folder, std::string* renamedTo) {
    answer_ = PropertiesAnswer::Nothing;
    renamedTo_.clear();
    path_ = path::withoutTrailingSeparator(path);
    folder_ = folder;
    file_ = path_;
    if (folder) {
        if (const Status status = folderPropertiesFile(session_, path_, file_); !status) {
            reportFailure(session_, status, "SYSTEM_IO", 1);
            return answer_;
        }
    }
    filling_ = true;
    const PropertyFacts facts = propertyFacts(session_, file_);
    facts_[0]->setPixmap(images_.treeIcon(facts.icon).pixmap(16, 16));
    facts_[1]->setText(toQt(facts.fileName));
    facts_[2]->setText(toQt(facts.typeCaption));
    facts_[3]->setText(toQt(facts.typeNote));
    facts_[4]->setText(toQt(facts.owner));
    facts_[5]->setText(toQt(facts.directory));
    facts_[6]->setText(QString::number(facts.size) + QStringLiteral(" b"));
    facts_[7]->setText(toQt(facts.created));
    facts_[8]->setText(toQt(facts.modified));

    tabs_->setTabVisible(1, folder);
    FolderSettings settings;
    if (folder && readFolderSettings(session_, path_, settings)) {
        name_->setText(toQt(path::fileName(path_)));
        note_->setText(toQt(settings.note));
        url_->setText(toQt(settings.url));
        icon_->setText(toQt(settings.icon));
        owner_->setText(toQt(settings.owner));
        rights_->setText(toQt(settings.rights));
        lock_->setChecked(settings.locked);
        nameEditable_ = !settings.locked;
        name_->setReadOnly(!nameEditable_);
    }
    fillHistory();
    session_.pendingEdits.forget();
    changed_ = nameChanged_ = settingsChanged_ = false;
    filling_ = false;
    tabs_->setCurrentIndex(folder ? 1 : 0);
    if (folder)
        name_->setFocus();
    if (exec() != QDialog::Accepted)
        session_.pendingEdits.forget();
    if (renamedTo)
        *renamedTo = renamedTo_;
    return answer_;
}

void PropertiesView::fillHistory() {
    history_->clear();
    const QIcon edit = images_.treeIcon("EDIT.BMP");
    const std::vector<std::string> lines = historyLines(session_, file_);
    for (const std::string& line : lines)
        new QListWidgetItem(edit, toQt(line), history_);
    if (lines.empty())
        new QListWidgetItem(edit, toQt(noHistoryLine(session_)), history_);
    deleteHistory_->setEnabled(!lines.empty());
}

void PropertiesView::changed(bool name) {
    if (filling_)
        return;
    changed_ = true;
    nameChanged_ |= name;
    settingsChanged_ |= !name;
    noteEdit(session_, kFolderSettingsEdit);
}

void PropertiesView::save() {
    if (!changed_ || !folder_) {
        accept();
        return;
    }
    if (!storableBoxes(session_, this))
        return;
    const FolderSettings settings{fromQt(note_->text()),  fromQt(url_->text()),    fromQt(icon_->text()),
                                  fromQt(owner_->text()), fromQt(rights_->text()), lock_->isChecked()};
    // The rename notes its own history line; settings left as they were
    // are not written again.
    if (settingsChanged_) {
        if (const Status status = saveFolderSettings(session_, path_, settings); !status) {
            reportFailure(session_, status);
            return;
        }
    }
    answer_ = PropertiesAnswer::Saved;
    const std::string newName = fromQt(name_->text().trimmed());
    if (nameEditable_ && nameChanged_ && newName != path::fileName(path_) &&
        !refuseName(session_, "FOLDER_NAME", newName)) {
        std::string renamed;
        if (const Status status = renameFolder(session_, path_, newName, renamed); !status) {
            // The settings are saved all the same; the user learns why the
            // name stayed.
            reportFailure(session_, status, "FOLDER_NAME", 5, MessageKind::Warning);
        } else {
            renamedTo_ = renamed;
            answer_ = PropertiesAnswer::Renamed;
        }
    }
    // A change that was not written (a refused name) must not end up in the
    // history of whatever is saved next.
    session_.pendingEdits.forget();
    accept();
}

} // namespace quill::ui
