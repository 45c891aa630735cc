#include "Session.h"

namespace quill {

Session::Session(ProgramValues programValues, Clock& clockSource, Ui& userInterface, Shell& desktopShell)
    : program(std::move(programValues)), clock(clockSource), ui(userInterface), shell(desktopShell),
      texts(program.languageDirectory), variables(*this) {
    texts.setExpander([this](const std::string& text) { return variables.expandLanguageText(text); });
}

bool Session::readRecord(std::string_view path) {
    switch (recordFiles().read(path, record)) {
    case RecordRead::Ok: return true;
    case RecordRead::Missing: return false;
    case RecordRead::Failed: break;
    }
    logEvent(*this, 52).ok();
    warn(MessageKind::Error, "SYSTEM_IO", 1);
    return false;
}

bool Session::writeRecord(std::string_view path) {
    if (recordFiles().write(record, path))
        return true;
    logEvent(*this, 53).ok();
    warn(MessageKind::Error, "SYSTEM_IO", 2);
    return false;
}

void Session::warn(MessageKind kind, std::string_view section, int number, std::string_view detail) {
    ui.beep();
    std::string text = texts.lookup(section, "WARNING_" + std::to_string(number), "Warnings");
    if (!detail.empty())
        text += " " + std::string(detail);
    ui.showMessage(kind, text);
}

} // namespace quill
