// A writer for the reliability tests: saves a record or appends log lines
// in a loop, as fast as it can, so that tests can run many at once and
// kill them at any moment.
//   quill_stress field DATAPOINT FILE FIELD COUNT  sets FIELD to 1..COUNT
//   quill_stress whole DATAPOINT FILE COUNT        sets every field to 1..COUNT together
//   quill_stress log FILE WRITER COUNT             appends COUNT numbered lines
// With QUILL_STRESS_COMPUTER set it runs under that computer name, in a UTS
// namespace of its own (root only), as a writer on another computer would.
#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"

#include <cstdlib>
#include <cstring>
#include <sched.h>
#include <unistd.h>
#include <iostream>
#include <string>

namespace {

int fail(const std::string& message) {
    std::cerr << "quill_stress: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace quill;
    if (const char* computer = std::getenv("QUILL_STRESS_COMPUTER")) {
        if (::unshare(CLONE_NEWUTS) != 0 || ::sethostname(computer, std::strlen(computer)) != 0)
            return fail("cannot take the computer name " + std::string(computer));
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "log" && argc == 5) {
        const std::string writer = argv[3];
        const long count = std::atol(argv[4]);
        // Long lines make a torn or interleaved line easy to see.
        const std::string padding(120, static_cast<char>('a' + writer.back() % 26));
        for (long i = 1; i <= count; ++i) {
            if (Status s = appendLine(argv[2], writer + " " + std::to_string(i) + " " + padding); !s)
                return fail(s.message());
        }
        return 0;
    }
    if ((mode == "field" && argc == 6) || (mode == "whole" && argc == 5)) {
        SystemClock clock;
        DateTimeFormats formats;
        const TypeTables tables = loadTypeTables(argv[2], nullptr);
        const RecordFiles files(tables, clock, formats);
        const long count = std::atol(argv[mode == "field" ? 5 : 4]);
        for (long i = 1; i <= count; ++i) {
            const std::string value = std::to_string(i);
            const Status saved = files.update(argv[3], [&](Record& record) {
                if (mode == "field")
                    return record.setValue(argv[4], value) ? Status::success() : Status::failure("no such field");
                for (Field& field : record.fields)
                    field.value = value;
                return Status::success();
            });
            if (!saved)
                return fail(saved.message());
        }
        return 0;
    }
    return fail("usage: field DATAPOINT FILE FIELD COUNT | whole DATAPOINT FILE COUNT | log FILE WRITER COUNT");
}
