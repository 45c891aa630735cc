#include "AddFilesView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "navigation/FileTemplates.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quill::ui {

AddFilesView::AddFilesView(Session& session, const ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), path_(new QLineEdit(this)), name_(new QComboBox(this)),
      type_(new QComboBox(this)) {
    setObjectName("TAddFiles_Form");
    setWindowTitle(languageText(session, "ADDFILES_FORM", "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ok_ = addToolButton(bar, session, images, 9, "Ok");
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    bar->addSeparator();
    QAction* open = addToolButton(bar, session, images, 18, "OpenFile");
    QAction* fromTemplate = addToolButton(bar, session, images, 24, "FileTemplates");
    templates_ = new QMenu(this);
    fromTemplate->setMenu(templates_);
    // The button's face runs nothing: its menu is the choice.
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(fromTemplate)))
        button->setPopupMode(QToolButton::InstantPopup);
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok_, &QAction::triggered, this, [this] { confirm(); });
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(open, &QAction::triggered, this, [this] { openChosen(); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "ADDFILESFORM_HELPBUTTON"); });
    auto* ctrlEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ctrlEnter, &QShortcut::activated, this, [this] { confirm(); });

    path_->setObjectName("Path");
    browse_ = new QPushButton(languageText(session, "ADDFILES_FORM", "BUTTON1"), this);
    browse_->setObjectName("Browse");
    browse_->setAutoDefault(false);
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
    // A path typed by hand is the user's file, not a staged copy.
    connect(path_, &QLineEdit::textEdited, this, [this] { staged_ = false; });
    name_->setObjectName("Name");
    name_->setMinimumContentsLength(30);
    name_->setEditable(true);
    connect(name_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { rememberText(session_, name_->currentText()); });
    type_->setObjectName("Type");
    type_->addItem(toQt(session.texts.lookup("NAMES", "DOCUMENT", "VALUES")));
    type_->addItem(toQt(session.texts.lookup("NAMES", "TEMPLATE", "VALUES")));
    move_ = new QCheckBox(languageText(session, "ADDFILES_FORM", "CHECKBOX1"), this);
    move_->setObjectName("Move");

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    auto* intro = new QLabel(languageText(session, "ADDFILES_FORM", "LABEL4"), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(browse_);
    form->addRow(languageText(session, "ADDFILES_FORM", "LABEL1"), pathRow);
    form->addRow(languageText(session, "ADDFILES_FORM", "LABEL2"), name_);
    form->addRow(languageText(session, "ADDFILES_FORM", "LABEL3"), type_);
    layout->addLayout(form);
    layout->addWidget(move_);
    resize(560, 240);
}

void AddFilesView::fillTemplateMenu(const std::string& lastTemplateDocument) {
    templates_->clear();
    QAction* last = templates_->addAction(images_.treeIcon("ATTACHMENT.BMP"),
                                          languageText(session_, "ADDFILES_FORM", "POPUPMENU_B0"));
    last->setEnabled(!lastTemplateDocument.empty());
    connect(last, &QAction::triggered, this, [this, lastTemplateDocument] {
        path_->setText(toQt(lastTemplateDocument));
        name_->setEditText(toQt(path::withoutExtension(path::fileName(lastTemplateDocument))));
        staged_ = false;
    });
    templates_->addSeparator();
    bool sharedBefore = false;
    for (const FileTemplate& file : listFileTemplates(session_)) {
        // The user's own templates stand apart from the data point's.
        if (file.own && sharedBefore)
            templates_->addSeparator();
        sharedBefore = !file.own;
        QAction* item = templates_->addAction(images_.treeIcon("ATTACHMENTS.BMP"), toQt(file.name));
        connect(item, &QAction::triggered, this, [this, file] { takeTemplate(file.path, toQt(file.name)); });
    }
}

bool AddFilesView::ask(AttachmentRequest& request) {
    changeMode_ = request.changeMode;
    staged_ = false;
    offerTextCache(name_, session_);
    fillTemplateMenu(request.lastTemplateDocument);
    move_->setChecked(false);
    path_->setReadOnly(changeMode_);
    browse_->setEnabled(!changeMode_);
    move_->setEnabled(!changeMode_);
    templates_->setEnabled(!changeMode_);
    path_->setText(changeMode_ ? toQt(request.path) : QString());
    name_->setEditText(changeMode_ ? request.name : QString());
    type_->setCurrentIndex(changeMode_ && request.type == AttachmentType::Template ? 1 : 0);
    (changeMode_ ? static_cast<QWidget*>(name_) : path_)->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    request.name = name_->currentText().trimmed();
    request.type = type_->currentIndex() == 1 ? AttachmentType::Template : AttachmentType::Document;
    if (!changeMode_) {
        request.path = fromQt(path_->text());
        request.moveFile = move_->isChecked() && !staged_;
        request.alreadyStaged = staged_;
    }
    return true;
}

void AddFilesView::browse() {
    const QString chosen = QFileDialog::getOpenFileName(this, windowTitle(), path_->text(), QStringLiteral("*"));
    if (chosen.isEmpty())
        return;
    path_->setText(chosen);
    staged_ = false;
    if (name_->currentText().trimmed().isEmpty())
        name_->setEditText(QFileInfo(chosen).completeBaseName());
}

void AddFilesView::takeTemplate(const std::string& templatePath, const QString& name) {
    std::string staged;
    if (const Status copied = stageAttachment(session_, templatePath, staged); !copied) {
        reportFailure(session_, copied, "ADDFILES", 1, MessageKind::Warning);
        return;
    }
    path_->setText(toQt(staged));
    name_->setEditText(name);
    staged_ = true;
    // The user fills the new file in while the view waits.
    session_.shell.openWithAssociatedProgram(staged, {}, session_.context.settings.temporaryDirectory);
}

bool AddFilesView::chosenFileExists() {
    const QString typed = path_->text().trimmed();
    if (!typed.isEmpty() && fs::isRegularFile(fromQt(typed)))
        return true;
    session_.warn(MessageKind::Warning, "ADDFILES", typed.isEmpty() ? 2 : 1);
    return false;
}

void AddFilesView::openChosen() {
    if (chosenFileExists())
        session_.shell.openWithAssociatedProgram(fromQt(path_->text().trimmed()), {},
                                                 session_.context.settings.temporaryDirectory);
}

void AddFilesView::confirm() {
    if (!storableText(session_, this, name_->currentText()) || !storableText(session_, this, path_->text()) ||
        !chosenFileExists())
        return;
    rememberText(session_, name_->currentText());
    accept();
}

} // namespace quill::ui
