#include "LoginForm.h"

#include "PathShortening.h"
#include "QtShell.h"
#include "QtText.h"
#include "TypedText.h"

#include "datapoint/DataPointInfo.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <iterator>

namespace quill::ui {

LoginForm::LoginForm(Session& session, RegistryStore& registry, QWidget* parent)
    : QDialog(parent), session_(session), registry_(registry) {
    setObjectName("TLogin_Form");
    chooseFolder_ = [](QWidget* owner, const QString& start) { return QtShell::chooseFolder(owner, QString(), start); };

    logonName_ = new QLineEdit(this);
    logonName_->setObjectName("LoginName");
    password_ = new QLineEdit(this);
    password_->setObjectName("Password");
    password_->setEchoMode(QLineEdit::Password);
    dataPoint_ = new QComboBox(this);
    dataPoint_->setObjectName("DataPoint");
    dataPoint_->setEditable(false);
    dataPoint_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    dataPoint_->setMinimumContentsLength(24);
    browse_ = new QPushButton(text("BROWSE_BUTTON"), this);
    browse_->setObjectName("Browse");
    autoLogon_ = new QCheckBox(text("AUTOLOGIN"), this);
    autoLogon_->setObjectName("AutoLogon");
    autoLogonTip_ = new QLabel(text("AUTOLOGIN_TIP"), this);
    autoLogonTip_->setObjectName("AutoLogonTip");
    autoLogonTip_->setWordWrap(true);
    QFont tipFont = autoLogonTip_->font();
    tipFont.setPointSizeF(tipFont.pointSizeF() * 0.9);
    autoLogonTip_->setFont(tipFont);
    ok_ = new QPushButton(text("OK_BUTTON"), this);
    ok_->setObjectName("Ok");
    cancel_ = new QPushButton(text("STORNO_BUTTON"), this);
    cancel_->setObjectName("Cancel");
    more_ = new QPushButton(text("MORE_BUTTON_1"), this);
    more_->setObjectName("More");
    // Enter belongs to the boxes, which start an attempt themselves; a
    // default button would start a second one.
    for (QPushButton* button : {browse_, ok_, cancel_, more_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* fields = new QFormLayout;
    fields->addRow(text("LOGIN_NAME"), logonName_);
    fields->addRow(text("LOGIN_PASSWORD"), password_);
    auto* dataPointRow = new QHBoxLayout;
    dataPointRow->addWidget(dataPoint_, 1);
    dataPointRow->addWidget(browse_);
    auto* dataPointLabel = new QLabel(text("DATAPOINT"), this);
    dataPointLabel->setBuddy(dataPoint_);
    fields->addRow(dataPointLabel, dataPointRow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(more_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(autoLogon_);
    layout->addWidget(autoLogonTip_);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // Tab follows the view as it reads: the boxes from the top, then the
    // buttons from the left.
    QWidget* readingOrder[] = {logonName_, password_, dataPoint_, browse_, autoLogon_, more_, ok_, cancel_};
    for (std::size_t i = 1; i < std::size(readingOrder); ++i)
        setTabOrder(readingOrder[i - 1], readingOrder[i]);

    autoLogonTimer_ = new QTimer(this);
    autoLogonTimer_->setSingleShot(true);
    autoLogonTimer_->setInterval(kAutoLogonDelayMs);

    connect(ok_, &QPushButton::clicked, this, &LoginForm::attemptLogon);
    connect(cancel_, &QPushButton::clicked, this, &LoginForm::reject);
    connect(more_, &QPushButton::clicked, this, &LoginForm::toggleExpanded);
    connect(browse_, &QPushButton::clicked, this, &LoginForm::browseForDataPoint);
    connect(logonName_, &QLineEdit::returnPressed, this, &LoginForm::attemptLogon);
    connect(password_, &QLineEdit::returnPressed, this, &LoginForm::attemptLogon);
    connect(autoLogonTimer_, &QTimer::timeout, this, &LoginForm::attemptLogon);
    connect(dataPoint_, qOverload<int>(&QComboBox::activated), this, &LoginForm::selectDataPoint);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(Qt::CTRL | key), this), &QShortcut::activated, this,
                &LoginForm::attemptLogon);

    // Showing the view: collapsed, nobody logged on, no failures yet.
    setWindowTitle(text("TITLE"));
    session_.program.loggedOn = false;
    failedAttempts_ = 0;
    autoLogon_->hide();
    autoLogonTip_->hide();
    setFixedHeight(kCollapsedHeight);
    logonName_->setText(toQt(session_.program.logonName));
    fillDataPointBox();
    setUpAutoLogon(true);
    if (!autoLogonPending())
        (logonName_->text().isEmpty() ? logonName_ : password_)->setFocus();
}

QString LoginForm::text(const char* key) const {
    return toQt(session_.texts.lookup("LOGIN_FORM", key, "GUI"));
}

bool LoginForm::autoLogonPending() const {
    return autoLogonTimer_->isActive();
}

void LoginForm::fillDataPointBox() {
    const ProgramValues& program = session_.program;
    const QFontMetrics metrics(dataPoint_->font());
    dataPoint_->clear();
    for (const std::string& path : program.knownDataPoints) {
        const QString full = toQt(path);
        dataPoint_->addItem(shortenPath(full, metrics, kDataPointTextWidth), full);
        dataPoint_->setItemData(dataPoint_->count() - 1, full, Qt::ToolTipRole);
    }
    if (program.actualDataPoint < program.knownDataPoints.size())
        dataPoint_->setCurrentIndex(static_cast<int>(program.actualDataPoint));
    dataPoint_->setToolTip(toQt(program.actualDataPointPath()));
    session_.context.dataPointPath = program.actualDataPointPath();
}

void LoginForm::selectDataPoint(int index) {
    if (index < 0 || session_.program.loggedOn)
        return;
    stopAutoLogon();
    session_.program.actualDataPoint = static_cast<std::size_t>(index);
    session_.context.dataPointPath = session_.program.actualDataPointPath();
    dataPoint_->setToolTip(toQt(session_.program.actualDataPointPath()));
    // Another data point may forbid automatic logon.
    setUpAutoLogon(false);
}

void LoginForm::setUpAutoLogon(bool startWhenWanted) {
    const bool allowed = dataPointAllowsAutoLogon(session_.program.actualDataPointPath());
    autoLogon_->setEnabled(allowed);
    if (!allowed || startWhenWanted)
        autoLogon_->setChecked(false);
    if (!allowed) {
        autoLogonTimer_->stop();
        return;
    }
    if (startWhenWanted && session_.program.autoLogonWanted) {
        autoLogon_->setChecked(true);
        password_->setText(toQt(session_.program.storedPassword));
        session_.ui.setCursor(CursorShape::Busy);
        autoLogonTimer_->start();
    }
}

void LoginForm::stopAutoLogon() {
    if (!autoLogonTimer_->isActive())
        return;
    autoLogonTimer_->stop();
    session_.ui.setCursor(CursorShape::Default);
}

void LoginForm::attemptLogon() {
    if (attempting_)
        return;
    autoLogonTimer_->stop();
    // A letter the code page lacks would become '?' and could match a
    // password it is not.
    if (!storableBoxes(session_, this))
        return;
    attempting_ = true;
    const LogonRequest request{fromQt(logonName_->text()), fromQt(password_->text()), autoLogon_->isChecked()};
    lastOutcome_ = quill::attemptLogon(session_, registry_, request, failedAttempts_);
    session_.ui.setCursor(CursorShape::Default);
    attempting_ = false;
    if (lastOutcome_ == LogonOutcome::LoggedOn) {
        accept();
    } else if (endsProgram(lastOutcome_)) {
        session_.program.loggedOn = false;
        done(kEndProgram);
    } else {
        password_->setFocus();
        password_->selectAll();
    }
}

void LoginForm::browseForDataPoint() {
    // The timer would otherwise log on while the folder dialog is open.
    stopAutoLogon();
    const QString folder = chooseFolder_(this, dataPoint_->currentData().toString());
    if (folder.isEmpty() || session_.program.loggedOn)
        return;
    const std::string chosen = fromQt(folder);
    if (!isDataPoint(chosen)) {
        session_.warn(MessageKind::Information, "LOGIN", 2);
        return;
    }
    session_.ui.setCursor(CursorShape::Busy);
    chooseDataPoint(session_.program, chosen);
    session_.ui.setCursor(CursorShape::Default);
    fillDataPointBox();
    setUpAutoLogon(false);
}

void LoginForm::toggleExpanded() {
    const bool expand = height() != kExpandedHeight;
    autoLogon_->setVisible(expand);
    autoLogonTip_->setVisible(expand);
    setFixedHeight(expand ? kExpandedHeight : kCollapsedHeight);
    more_->setText(text(expand ? "MORE_BUTTON_2" : "MORE_BUTTON_1"));
}

void LoginForm::reject() {
    autoLogonTimer_->stop();
    session_.ui.setCursor(CursorShape::Default);
    session_.warn(MessageKind::Error, "LOGIN", 1);
    session_.program.loggedOn = false;
    QDialog::reject();
}

} // namespace quill::ui
