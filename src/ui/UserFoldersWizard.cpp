#include "UserFoldersWizard.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "ResourcesView.h"
#include "TypedText.h"
#include "UsersView.h"

#include "navigation/ConnectedFolders.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quill::ui {
namespace {

enum Page { Welcome = 1, Choice, Settings, Ready };

} // namespace

UserFoldersWizard::UserFoldersWizard(Session& session, ImageLists& images, QWidget* parent)
    : WizardFrame(session, "Wizzard_UserFolders", "WIZZARD_USERFOLDERS", parent), images_(images),
      connect_(new QRadioButton(this)), create_(new QRadioButton(this)), lock_(new QCheckBox(this)) {
    setObjectName("TWizzard_UserFolders");
    addPage("STEP_1", kWizardTextLines);

    QVBoxLayout* choice = addPage("STEP_2", {"TEXT"});
    connect_->setObjectName("Connect");
    connect_->setText(text("STEP_2", "RADIOBUTTON1"));
    create_->setObjectName("Create");
    create_->setText(text("STEP_2", "RADIOBUTTON2"));
    choice->addWidget(connect_);
    choice->addWidget(create_);
    choice->addWidget(new QLabel(text("STEP_2", "TEXT1"), this));
    auto* directory = new QLineEdit(this);
    directory->setObjectName("Directory");
    auto* browse = new QPushButton(text("STEP_2", "BUTTON1"), this);
    browse->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(directory, 1);
    row->addWidget(browse);
    choice->addLayout(row);
    auto* hint = new QLabel(text("STEP_2", "TEXT2"), this);
    hint->setWordWrap(true);
    choice->addWidget(hint);
    QObject::connect(browse, &QPushButton::clicked, this, [this, directory] {
        const QString start = directory->text().isEmpty() ? toQt(session_.context.rootDirectory) : directory->text();
        if (const QString chosen = QFileDialog::getExistingDirectory(this, QString(), start); !chosen.isEmpty())
            directory->setText(chosen);
    });

    auto* settings = new QFormLayout;
    addPage("STEP_3", {"TEXT"})->addLayout(settings);
    const auto addField = [&](const char* name, const char* label, const char* button = nullptr) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        if (!button) {
            settings->addRow(text("STEP_3", label), box);
            return;
        }
        // Owner, rights and image change only through their pickers.
        box->setReadOnly(true);
        auto* pick = new QPushButton(text("STEP_3", button), this);
        pick->setObjectName(QString(name) + "Pick");
        pick->setAutoDefault(false);
        auto* line = new QHBoxLayout;
        line->addWidget(box, 1);
        line->addWidget(pick);
        settings->addRow(text("STEP_3", label), line);
        QObject::connect(pick, &QPushButton::clicked, this, [this, box, name] {
            const std::string current = fromQt(box->text());
            const auto picked = std::string(name) == "Icon" ? ResourcesView(session_, images_, this).pick(current)
                                                            : UsersView(session_, images_, this).pick(current);
            if (picked)
                box->setText(toQt(*picked));
        });
    };
    addField("Name", "TEXT1");
    addField("Note", "TEXT2");
    addField("Url", "TEXT3");
    addField("Owner", "TEXT4", "BUTTON1");
    addField("Rights", "TEXT5", "BUTTON2");
    addField("Icon", "TEXT6", "BUTTON3");
    lock_->setObjectName("Lock");
    lock_->setText(text("STEP_3", "CHECKBOX1"));
    settings->addRow(lock_);
    settings->addRow(new QLabel(text("STEP_3", "TEXT7"), this));

    addPage("STEP_4", kWizardTextLines);
    finishPages();
}

QLineEdit* UserFoldersWizard::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}

std::optional<std::string> UserFoldersWizard::run(const std::vector<std::string>& connected) {
    connected_ = connected;
    answer_.reset();
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
    connect_->setChecked(true);
    showStep(Welcome);
    exec();
    return answer_;
}

void UserFoldersWizard::fillSettings() {
    const bool existing = connect_->isChecked();
    FolderSettings settings;
    if (existing) {
        const std::string directory = fromQt(field("Directory")->text());
        ignoreOutcome(readFolderSettings(session_, directory, settings));
        field("Name")->setText(toQt(path::fileName(path::withoutTrailingSeparator(directory))));
    } else {
        settings = newConnectableFolderSettings(session_);
        field("Name")->setText(text(section_, "NEWFOLDER"));
    }
    field("Note")->setText(toQt(settings.note));
    field("Url")->setText(toQt(settings.url));
    field("Owner")->setText(toQt(settings.owner));
    field("Rights")->setText(toQt(settings.rights));
    field("Icon")->setText(toQt(settings.icon));
    lock_->setChecked(settings.locked);
    // An existing folder's settings are only shown here.
    for (QWidget* control : std::initializer_list<QWidget*>{
             field("Name"), field("Note"), field("Url"), lock_, findChild<QPushButton*>("OwnerPick"),
             findChild<QPushButton*>("RightsPick"), findChild<QPushButton*>("IconPick")})
        control->setEnabled(!existing);
}

void UserFoldersWizard::next() {
    if (!storableBoxes(session_, this))
        return;
    const std::string directory = fromQt(field("Directory")->text().trimmed());
    switch (step()) {
    case Choice:
        if (connect_->isChecked()) {
            if (const Status status = checkConnectableFolder(session_, connected_, directory); !status) {
                reportFailure(session_, status, section_, 1);
                return;
            }
        } else if (directory.empty()) {
            session_.warn(MessageKind::Error, section_, 2);
            return;
        }
        fillSettings();
        break;
    case Ready: {
        if (connect_->isChecked()) {
            answer_ = path::withoutTrailingSeparator(path::normalize(directory));
        } else {
            const FolderSettings settings{fromQt(field("Note")->text()),   fromQt(field("Url")->text()),
                                          fromQt(field("Icon")->text()),   fromQt(field("Owner")->text()),
                                          fromQt(field("Rights")->text()), lock_->isChecked()};
            std::string created;
            if (const Status status =
                    createConnectableFolder(session_, directory, fromQt(field("Name")->text()), settings, created);
                !status)
                reportFailure(session_, status, section_, 3);
            else
                answer_ = created;
        }
        accept();
        return;
    }
    default: break;
    }
    showStep(step() + 1);
}

} // namespace quill::ui
