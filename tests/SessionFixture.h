#pragma once

#include "TestSupport.h"

#include "session/Session.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quill::test {

// Records what the library shows, in order.
class RecordingUi final : public Ui {
public:
    int beeps = 0;
    std::vector<std::pair<MessageKind, std::string>> messages;
    std::vector<CursorShape> cursors;
    void beep() override { ++beeps; }
    void showMessage(MessageKind kind, const std::string& text) override { messages.emplace_back(kind, text); }
    void setCursor(CursorShape shape) override { cursors.push_back(shape); }
};

// Records what the library hands to the desktop; refuses every request
// while refusing is set. The default printer is printer.
class RecordingShell final : public Shell {
public:
    std::vector<std::string> opened;
    std::vector<std::pair<std::string, std::string>> mailed;  // subject, attachment
    std::vector<std::pair<std::string, std::string>> printed; // file, printer
    std::string printer;
    bool refusing = false;
    bool openWithAssociatedProgram(const std::string& file, const std::string&, const std::string&) override {
        opened.push_back(file);
        return !refusing;
    }
    bool sendMail(const std::string& subject, const std::string& attachment) override {
        mailed.emplace_back(subject, attachment);
        return !refusing;
    }
    bool printFile(const std::string& file, const std::string& printerName, const std::string&) override {
        printed.emplace_back(file, printerName);
        return !refusing;
    }
    std::string defaultPrinter() override { return printer; }
};

// A session on a fresh copy of the sample data point, as user ANNA (Anna
// Novak), with the shipped language files, a fixed clock and recording
// fakes; HOME and the XDG directories point into the test's own directory.
// open() starts the logon context, sets the user paths and reads the
// settings, as a logon does.
class SessionFixture {
public:
    SessionFixture();

    bool open();

    // The data point's system log and ANNA's log as they are now.
    std::string systemLog() const { return readBytes(dataPoint + "/DataPoint.system/Logs/system.log"); }
    std::string userLog() const { return readBytes(dataPoint + "/DataPoint.system/Logs/ANNA.log"); }

    IsolatedHome home;
    TempDir dir;
    std::string dataPoint;
    FixedClock clock;
    RecordingUi ui;
    RecordingShell shell;
    std::unique_ptr<Session> session;
};

} // namespace quill::test
