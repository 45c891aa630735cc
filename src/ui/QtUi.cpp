#include "QtUi.h"

#include "QtText.h"
#include "StartupForm.h"

#include <QApplication>
#include <QMessageBox>

namespace quill::ui {

QtUi::QtUi() = default;

QtUi::~QtUi() {
    closeStartup();
    setCursor(CursorShape::Default);
}

void QtUi::beep() {
    QApplication::beep();
}

void QtUi::showMessage(MessageKind kind, const std::string& text) {
    // A message always comes with the normal cursor: the user has to act.
    const bool wasOverridden = overridden_;
    if (wasOverridden)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    // The start-up view stays on top of everything; the box must not end
    // up hidden behind it.
    const bool startupShown = startup_ && startup_->isVisible();
    if (startupShown)
        startup_->hide();
    QWidget* parent = QApplication::activeWindow();
    const QString title = QStringLiteral("Quill!");
    const QString body = toQt(text);
    switch (kind) {
    case MessageKind::Information: QMessageBox::information(parent, title, body); break;
    case MessageKind::Warning: QMessageBox::warning(parent, title, body); break;
    case MessageKind::Error: QMessageBox::critical(parent, title, body); break;
    case MessageKind::Confirmation:
        QMessageBox::question(parent, title, body, QMessageBox::StandardButtons(QMessageBox::Ok));
        break;
    }
    if (wasOverridden)
        QApplication::restoreOverrideCursor();
    if (startupShown && startup_)
        startup_->show();
}

void QtUi::setCursor(CursorShape shape) {
    if (shape == CursorShape::Default) {
        if (overridden_)
            QApplication::restoreOverrideCursor();
        overridden_ = false;
        return;
    }
    const QCursor cursor(shape == CursorShape::Busy ? Qt::WaitCursor : Qt::BusyCursor);
    if (overridden_)
        QApplication::changeOverrideCursor(cursor);
    else
        QApplication::setOverrideCursor(cursor);
    overridden_ = true;
}

void QtUi::showStartupStep(int step) {
    if (!startup_)
        startup_ = new StartupForm;
    startup_->showCaption(captionOfStep_ ? captionOfStep_(step) : QString());
}

void QtUi::closeStartup() {
    if (startup_)
        startup_->close();
    startup_ = nullptr;
}

void QtUi::setStartupCaptions(std::function<QString(int)> captionOfStep) {
    captionOfStep_ = std::move(captionOfStep);
}

} // namespace quill::ui
