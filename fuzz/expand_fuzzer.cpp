// Expanding any text ends, in every mode, even with language texts and
// values that refer to themselves and to each other.
#include "FuzzSupport.h"

#include "session/Session.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

namespace {

struct World {
    quill::SystemClock clock;
    quill::SilentUi ui;
    quill::fuzz::NoShell shell;
    std::unique_ptr<quill::Session> session;
    // The record whose fields the text may name.
    quill::Record record;

    World() {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quill-expand-fuzzer";
        std::filesystem::create_directories(dir / "Language");
        const auto write = [&](const char* name, const char* content) {
            std::ofstream(dir / "Language" / name, std::ios::binary) << content;
        };
        write("Values.ini", "[VALUES]\nVALUE_YES=VALUE_YES and VALUE_NO\nVALUE_NO=$DATA.A.DATA$ VALUE_YES\n");
        write("SystemVariables.ini",
              "[SYSTEMVARIABLES]\n$VARIABLE.A=$VARIABLE.B.VARIABLE$\n$VARIABLE.B=%20$VARIABLE.A.VARIABLE$\n");
        write("SystemImages.ini", "[SYSTEMIMAGES]\n$IMAGE.X=$IMAGE.X.IMAGE$\n$IMAGE.ATTACHMENT=a\n");
        write("Log.ini", "[EDITHISTORY]\n$EDITHISTORY.1=$EDITHISTORY.1.EDITHISTORY$$FULLNAME$\n");
        quill::ProgramValues program;
        program.logonName = "$LOGONNAME$";
        program.fullName = "$FULLNAME$ $LOGONNAME$ VALUE_NO";
        program.languageDirectory = (dir / "Language").string();
        session = std::make_unique<quill::Session>(program, clock, ui, shell);
        session->context.dataPointPath = "$DATA_POINT_PATH$";
        session->actual.displayName = "$ACTUALOBJECT.ACTUALNAME$";
        for (const char* name : {"A", "B", "ATTACHMENTFILE1"}) {
            quill::Field field;
            field.name = name;
            field.value = std::string("$DATA.A.DATA$$DATA.B.DATA$$DATATYPE.A.DATATYPE$") + name;
            field.note = "$DATATYPE.A.DATATYPE$";
            record.fields.push_back(field);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    world.session->program.isAdministrator = flags & 1;
    const std::string result = world.session->variables.expand(
        text, world.record, flags & 2, (flags & 4) ? quill::ExpansionMode::Page : quill::ExpansionMode::Plain);
    // Every variable is replaced once, by a value of bounded size.
    if (result.size() > 4096 * (text.size() + 1))
        std::abort();
    return 0;
}
