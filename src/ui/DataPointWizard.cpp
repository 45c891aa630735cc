#include "DataPointWizard.h"

#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "session/DataPointSetup.h"
#include "session/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quill::ui {
namespace {

enum Page { Welcome = 1, Creator, Directory, Places, AutoLogon, Summary, Creating, Result };

constexpr const char* kRootDefault = "$DATA_POINT_PATH$\\DataPoint.root";
constexpr const char* kUsersDefault = "$DATA_POINT_PATH$\\DataPoint.users";

QLineEdit* newField(QWidget* owner, const char* name) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(name);
    return box;
}

} // namespace

CreateDataPointWizard::CreateDataPointWizard(Session& session, QWidget* parent)
    : WizardFrame(session, "Wizzard_DataPoint", "WIZZARD_DATAPOINT", parent), autoLogon_(new QCheckBox(this)),
      summary_(new QLabel(this)), progressText_(new QLabel(this)), progress_(new QProgressBar(this)),
      resultHeading_(new QLabel(this)), result_(new QLabel(this)) {
    setObjectName("TWizzard_CreateDatapoint");
    cancel_ = findChild<QPushButton*>("Cancel");
    addPage("STEP_1", kWizardTextLines);

    auto* creator = new QFormLayout;
    addPage("STEP_2", {"TEXT", "TEXT1"})->addLayout(creator);
    creator->addRow(text("STEP_2", "TEXT2"), newField(this, "Creator"));
    creator->addRow(text("STEP_2", "TEXT3"), newField(this, "Phone"));
    creator->addRow(text("STEP_2", "TEXT4"), newField(this, "Mail"));
    creator->addRow(text("STEP_2", "TEXT5"), newField(this, "Www"));

    QVBoxLayout* directory = addPage("STEP_3", {"TEXT", "TEXT1"});
    QLineEdit* target = newField(this, "Directory");
    directory->addLayout(browseRow(target, "STEP_3", "BUTTON1"));
    auto* hint = new QLabel(text("STEP_3", "TEXT2"), this);
    hint->setWordWrap(true);
    directory->addWidget(hint);

    QVBoxLayout* places = addPage("STEP_4", {"TEXT"});
    places->addWidget(new QLabel(text("STEP_4", "TEXT1"), this));
    places->addLayout(browseRow(newField(this, "Root"), "STEP_4", "BUTTON1"));
    places->addWidget(new QLabel(text("STEP_4", "TEXT2"), this));
    places->addLayout(browseRow(newField(this, "Users"), "STEP_4", "BUTTON2"));
    // A new directory brings the default places inside it again.
    connect(target, &QLineEdit::textChanged, this, [this] {
        field("Root")->setText(kRootDefault);
        field("Users")->setText(kUsersDefault);
    });

    QVBoxLayout* logon = addPage("STEP_5", {"TEXT", "TEXT1", "TEXT2"});
    autoLogon_->setObjectName("AutoLogon");
    autoLogon_->setText(text("STEP_5", "CHECKBOXT1"));
    logon->addWidget(autoLogon_);

    summary_->setObjectName("Summary");
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addPage("STEP_6", {})->addWidget(summary_);

    QVBoxLayout* creating = addPage("STEP_7", {});
    progressText_->setWordWrap(true);
    creating->addWidget(progressText_);
    progress_->setObjectName("Progress");
    creating->addWidget(progress_);

    QVBoxLayout* result = addPage("STEP_8_OK", {});
    QFont bold = resultHeading_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    resultHeading_->setFont(bold);
    result->insertWidget(0, resultHeading_);
    result->itemAt(1)->widget()->hide(); // the page's own heading: the outcome's is shown instead
    result_->setObjectName("Result");
    result_->setWordWrap(true);
    result->addWidget(result_);
    finishPages();
}

QHBoxLayout* CreateDataPointWizard::browseRow(QLineEdit* box, const char* section, const char* key) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    auto* browse = new QPushButton(text(section, key), this);
    browse->setObjectName(box->objectName() + "Browse");
    browse->setAutoDefault(false);
    row->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, box] {
        const QString chosen = QFileDialog::getExistingDirectory(this, QString(), box->text());
        if (!chosen.isEmpty())
            box->setText(chosen);
    });
    return row;
}

QLineEdit* CreateDataPointWizard::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}

bool CreateDataPointWizard::run() {
    created_ = false;
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
    field("Creator")->setText(toQt(session_.program.logonName));
    field("Root")->setText(kRootDefault);
    field("Users")->setText(kUsersDefault);
    autoLogon_->setChecked(false);
    cancel_->setEnabled(true);
    showStep(Welcome);
    exec();
    return created_;
}

QString CreateDataPointWizard::summary() const {
    const auto line = [this](const char* key) { return text("STEP_6", key); };
    const auto value = [this](const char* name) { return field(name)->text(); };
    const QString yesNo =
        languageText(session_, "VALUES", autoLogon_->isChecked() ? "VALUE_YES" : "VALUE_NO", "Values");
    return QStringList{line("TEXT"),
                       line("TEXT1"),
                       line("TEXT2"),
                       "  " + value("Creator") + ", " + value("Phone"),
                       "  " + value("Mail") + ", " + value("Www"),
                       line("TEXT3"),
                       line("TEXT4"),
                       "  " + value("Directory"),
                       line("TEXT5"),
                       line("TEXT6"),
                       "  " + value("Root"),
                       "  " + value("Users"),
                       line("TEXT7"),
                       line("TEXT8") + " " + yesNo}
        .join('\n');
}

void CreateDataPointWizard::next() {
    if (!storableBoxes(session_, this))
        return;
    switch (step()) {
    case Directory:
        if (!QFileInfo(field("Directory")->text()).isDir()) {
            session_.warn(MessageKind::Error, section_, 1);
            return;
        }
        break;
    case AutoLogon: summary_->setText(summary()); break;
    case Summary: create(); return;
    case Result: accept(); return;
    default: break;
    }
    showStep(step() + 1);
}

void CreateDataPointWizard::create() {
    showPage(Creating, false);
    backButton()->setEnabled(false);
    nextButton()->setEnabled(false);
    cancel_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto say = [this](const char* part) {
        const auto line = [&](const char* suffix) { return text("STEP_7", std::string(part) + suffix); };
        progressText_->setText("<b>" + line("TEXT").toHtmlEscaped() + "</b><br>" + line("TEXT1").toHtmlEscaped() +
                               "<br>" + line("TEXT2").toHtmlEscaped());
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    say("a");
    say("b");
    progress_->setValue(0);
    QElapsedTimer shown;
    shown.start();
    const auto progress = [&](std::size_t copied, std::size_t total) {
        if (shown.elapsed() < 30 && copied < total)
            return;
        progress_->setMaximum(static_cast<int>(total));
        progress_->setValue(static_cast<int>(copied));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        shown.restart();
    };
    DataPointDescription description;
    description.creator = fromQt(field("Creator")->text());
    description.phone = fromQt(field("Phone")->text());
    description.mail = fromQt(field("Mail")->text());
    description.www = fromQt(field("Www")->text());
    description.rootDirectory = fromQt(field("Root")->text());
    description.usersDirectory = fromQt(field("Users")->text());
    description.autoLogon = autoLogon_->isChecked();
    const Status status = createNewDataPoint(session_, fromQt(field("Directory")->text()), description, progress);
    say("c");
    QApplication::restoreOverrideCursor();

    created_ = status.ok();
    const char* outcome = created_ ? "STEP_8_OK" : "STEP_8_ERROR";
    resultHeading_->setText(text(outcome, "MAIN"));
    result_->setText(created_ ? text(outcome, "TEXT") : text(outcome, "TEXT") + "\n\n" + toQt(status.message()));
    showPage(Result, true);
    backButton()->setEnabled(false);
    QApplication::beep();
}

} // namespace quill::ui
