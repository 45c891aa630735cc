#include "OneLineTextView.h"

#include "TypedText.h"
#include "ViewSupport.h"

#include "session/Session.h"
#include "session/FormHelp.h"

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
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "ADDCOMMENTSFORM_HELPBUTTON"); });

    box_->setObjectName("Text");
    box_->setMinimumContentsLength(40);
    offerTextCache(box_, session);
    // Enter in the box confirms, once: the line edit leaves the key to the
    // combo box, which hands it back to the line edit.
    box_->lineEdit()->installEventFilter(this);
    auto* ctrlEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ctrlEnter, &QShortcut::activated, this, [this] { confirm(); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    auto* label = new QLabel(languageText(session, section, "LABEL1"), this);
    label->setBuddy(box_);
    layout->addWidget(label);
    layout->addWidget(box_);
}

bool OneLineTextView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_->lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OneLineTextView::confirm() {
    // A letter the data point cannot store keeps the view open for the
    // user to change it.
    if (!storableText(session_, this, box_->currentText()))
        return;
    rememberText(session_, box_->currentText());
    accept();
}

QString OneLineTextView::ask() {
    box_->setEditText(QString());
    box_->setFocus();
    return exec() == QDialog::Accepted ? box_->currentText().trimmed() : QString();
}

} // namespace quill::ui
