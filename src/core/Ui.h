#pragma once

#include <string>

namespace quill {

enum class MessageKind { Information, Warning, Error, Confirmation };

// What the library shows or asks. The Qt front end shows boxes; the command
// line prints to stderr; tests record the calls.
class Ui {
public:
    virtual ~Ui() = default;
    virtual void beep() = 0;
    virtual void showMessage(MessageKind kind, const std::string& text) = 0;
};

// Shows nothing; for callers that report failures in their own way.
class SilentUi final : public Ui {
public:
    void beep() override {}
    void showMessage(MessageKind, const std::string&) override {}
};

} // namespace quill
