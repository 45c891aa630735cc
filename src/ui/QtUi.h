#pragma once

#include "platform/Ui.h"

#include <QPointer>
#include <QString>

#include <functional>

namespace quill::ui {

class StartupForm;

// The library's messages as message boxes, its cursors as Qt's override
// cursor, and the start-up view.
class QtUi final : public Ui {
public:
    QtUi();
    ~QtUi() override;

    void beep() override;
    void showMessage(MessageKind kind, const std::string& text) override;
    void setCursor(CursorShape shape) override;
    void showStartupStep(int step) override;
    void closeStartup() override;

    // Where the start-up captions come from: the language files of the
    // session, which exists only after this object.
    void setStartupCaptions(std::function<QString(int)> captionOfStep);

private:
    std::function<QString(int)> captionOfStep_;
    QPointer<StartupForm> startup_;
    bool overridden_ = false;
};

} // namespace quill::ui
