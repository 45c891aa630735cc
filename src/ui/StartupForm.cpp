#include "StartupForm.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace quill::ui {

StartupForm::StartupForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("TStartup_Form");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* title = new QLabel(QStringLiteral("Quill!"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 3.2);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    caption_ = new QLabel(this);
    QFont captionFont = caption_->font();
    captionFont.setBold(true);
    caption_->setFont(captionFont);
    caption_->setAlignment(Qt::AlignCenter);

    for (QLabel* label : {title, caption_}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 40, 48, 28);
    layout->addStretch(2);
    layout->addWidget(title);
    layout->addStretch(3);
    layout->addWidget(caption_);
    setMinimumSize(420, 240);

    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void StartupForm::showCaption(const QString& caption) {
    caption_->setText(caption);
    if (!isVisible())
        show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString StartupForm::caption() const {
    return caption_->text();
}

void StartupForm::paintEvent(QPaintEvent*) {
    // A deep ink-blue gradient with a thin light rule above the caption.
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0.0, QColor(0x1d, 0x3a, 0x6b));
    gradient.setColorAt(1.0, QColor(0x0b, 0x18, 0x30));
    painter.fillRect(rect(), gradient);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    const int y = caption_->geometry().top() - 12;
    painter.drawLine(48, y, width() - 48, y);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace quill::ui
