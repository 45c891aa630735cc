#include "session/Session.h"

#include "platform/Paths.h"
#include "platform/Result.h"

namespace quill {

Session::Session(ProgramValues programValues, Clock& clockSource, Ui& userInterface, Shell& desktopShell)
    : program(std::move(programValues)), clock(clockSource), ui(userInterface), shell(desktopShell),
      texts(program.languageDirectory), variables(*this) {
    texts.setExpander([this](const std::string& text) { return variables.expandLanguageText(text); });
}

RecordRead Session::readRecord(std::string_view path, Record& into) {
    const RecordRead result = recordFiles().read(path, into);
    if (result == RecordRead::Failed) {
        ignoreOutcome(logEvent(*this, 52));
        warn(MessageKind::Error, "SYSTEM_IO", 1);
    }
    return result;
}

bool Session::writeRecord(Record& from, std::string_view path) {
    if (storeRecord(from, path))
        return true;
    warn(MessageKind::Error, "SYSTEM_IO", 2);
    return false;
}

Status Session::storeRecord(Record& from, std::string_view path) {
    Status written = recordFiles().write(from, path);
    if (!written)
        ignoreOutcome(logEvent(*this, 53));
    return written;
}

std::string Session::transactionJournal() const {
    return context.dataPointPath.empty()
               ? std::string()
               : path::join(path::join(context.dataPointPath, "DataPoint.system"), "Transactions");
}

void Session::reportUnreadable(std::string_view detail) {
    ignoreOutcome(logEvent(*this, 52));
    warn(MessageKind::Error, "SYSTEM_IO", 1, detail);
}

void Session::warn(MessageKind kind, std::string_view section, int number, std::string_view detail) {
    ui.beep();
    std::string text = texts.lookup(section, "WARNING_" + std::to_string(number), "Warnings");
    if (!detail.empty())
        text += " " + std::string(detail);
    ui.showMessage(kind, text);
}

} // namespace quill
