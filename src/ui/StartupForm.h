#pragma once

#include <QWidget>

class QLabel;

namespace quill::ui {

// The start-up view: a borderless picture on top of everything, centred on
// the screen, with one bold caption line saying what the program is doing.
class StartupForm final : public QWidget {
    Q_OBJECT
public:
    explicit StartupForm(QWidget* parent = nullptr);

    // Sets the caption and paints it at once: the work that follows keeps
    // the event loop busy, so a queued repaint would come too late.
    void showCaption(const QString& caption);
    QString caption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* caption_;
};

} // namespace quill::ui
