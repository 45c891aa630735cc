#pragma once

#include <string>

namespace quill {

enum class MessageKind { Information, Warning, Error, Confirmation };

// The screen cursor: the default arrow, the hourglass of long operations,
// or the arrow with an hourglass while something starts in the background.
enum class CursorShape { Default, Busy, Starting };

// What the library shows or asks. The Qt front end shows boxes; the command
// line prints to stderr; tests record the calls.
class Ui {
public:
    virtual ~Ui() = default;
    virtual void beep() = 0;
    virtual void showMessage(MessageKind kind, const std::string& text) = 0;

    // Long operations set the busy cursor and reset it before any message.
    virtual void setCursor(CursorShape) {}

    // The start-up view: shown (or kept) with the caption of step n while a
    // logon is prepared, closed when it is done or has failed.
    virtual void showStartupStep(int) {}
    virtual void closeStartup() {}
};

// The busy cursor for as long as it lives.
class BusyCursor {
public:
    explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.setCursor(CursorShape::Busy); }
    ~BusyCursor() { ui_.setCursor(CursorShape::Default); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Ui& ui_;
};

// Shows nothing; for callers that report failures in their own way.
class SilentUi final : public Ui {
public:
    void beep() override {}
    void showMessage(MessageKind, const std::string&) override {}
};

} // namespace quill
