#include "OneLineTextView.h"

#include "ViewSupport.h"

#include "session/Session.h"
#include "session/TextVariables.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

namespace quill::ui {

OneLineTextView::OneLineTextView(Session& session, const ImageLists& images, const std::string& section,
                                 QWidget* parent)
    : QDialog(parent), session_(session), box_(new QComboBox(this)) {
    setObjectName("TAddComments_Form");
    setWindowTitle(languageText(session, section, "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = addToolButton(bar, session, images, 9, "Ok");
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok, &QAction::triggered, this, [this] { confirm(); });
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(help, &QAction::triggered, this, [this] { session_.variables.openFormHelp("ADDCOMMENTSFORM_HELPBUTTON"); });

    box_->setObjectName("Text");
    box_->setMinimumContentsLength(40);
    offerTextCache(box_, session);
    // Enter in the box confirms; the combo box would take it otherwise.
    connect(box_->lineEdit(), &QLineEdit::returnPressed, this, [this] { confirm(); });
    auto* ctrlEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ctrlEnter, &QShortcut::activated, this, [this] { confirm(); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    auto* label = new QLabel(languageText(session, section, "LABEL1"), this);
    label->setBuddy(box_);
    layout->addWidget(label);
    layout->addWidget(box_);
}

void OneLineTextView::confirm() {
    rememberText(session_, box_->currentText());
    accept();
}

QString OneLineTextView::ask() {
    box_->setEditText(QString());
    box_->setFocus();
    return exec() == QDialog::Accepted ? box_->currentText().trimmed() : QString();
}

} // namespace quill::ui
