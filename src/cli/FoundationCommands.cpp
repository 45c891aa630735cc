#include "FoundationCommands.h"

#include "CommandRunner.h"

#include "datapoint/FolderWalk.h"
#include "formats/CompanionNames.h"
#include "formats/FieldCipher.h"
#include "formats/LanguageTexts.h"
#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <optional>
#include <ostream>

namespace quill::cli {
namespace {

std::string toHex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 0x0F];
    }
    return out;
}

std::string fromHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        throw CliError{"not a hexadecimal byte string: odd number of digits"};
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = text::hexDigitValue(hex[i]);
        const int lo = text::hexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            throw CliError{"not a hexadecimal byte string: " + std::string(hex)};
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

// Everything reading records needs, without a logon: the definitions of a
// data point, or none.
struct DataPointRecords {
    SystemClock clock;
    DateTimeFormats formats;
    TypeTables tables;
    RecordFiles files{tables, clock, formats};

    DataPointRecords() = default;
    explicit DataPointRecords(const std::string& dataPoint) {
        if (!fs::isDirectory(dataPoint))
            throw CliError{"cannot open data point " + dataPoint + ": no such directory"};
        tables = loadTypeTables(dataPoint, nullptr);
    }
    // files refers to the members.
    DataPointRecords(const DataPointRecords&) = delete;
    DataPointRecords& operator=(const DataPointRecords&) = delete;
};

class WalkPrinter final : public FolderWalkVisitor {
public:
    explicit WalkPrinter(std::ostream& out) : out_(out) {}

    Node folderFound(const std::string& name, const std::string& parentDirectory, const Record&, Node parent) override {
        printLine(out_, std::string(parent * 2, ' ') + parentDirectory + name);
        return parent + 1;
    }

    void scheduleFound(const std::string& companionPath, const std::string&) override {
        printLine(out_, "SCHEDULE\t" + companionPath);
    }

private:
    std::ostream& out_;
};

} // namespace

int cipherCommand(Call& call) {
    const std::string key = takeOption(call.args, "--key", std::string(cipher::kFieldKey));
    const Args& args = call.arguments();
    std::ostream& out = call.out;
    if (args[0] == "encode") {
        printLine(out, toHex(cipher::encipher(key, args[1])));
    } else if (args[0] == "decode") {
        printLine(out, cipher::decipher(key, fromHex(args[1])));
    } else {
        throw CliError{"unknown cipher direction " + args[0] + ": use encode or decode"};
    }
    return 0;
}

int langCommand(Call& call) {
    const Args& args = call.arguments();
    LanguageTexts texts(args[0]);
    printLine(call.out, texts.lookup(args[2], args[3], args[1]));
    return 0;
}

int iniCommand(Call& call) {
    const Args& args = call.arguments();
    LanguageTexts texts({});
    printLine(call.out, texts.readPlain(args[1], args[2], args[0]));
    return 0;
}

int typesCommand(Call& call) {
    const DataPointRecords dataPoint(call.arguments()[0]);
    const auto& types = dataPoint.tables.objectTypes;
    for (std::size_t i = 0; i < types.size(); ++i) {
        std::string properties;
        for (const std::string& name : types[i].propertyNames)
            properties += (properties.empty() ? "" : ",") + name;
        printLine(call.out, std::to_string(i) + "\t" + types[i].name + "\t" + types[i].caption + "\t" + types[i].icon +
                                "\t" + text::flag(types[i].inMenus) + "\t" + properties);
    }
    return 0;
}

int recordCommand(Call& call) {
    const std::string action = call.action();
    const Args& args = call.arguments();
    const DataPointRecords dataPoint(args[0]);
    const std::string file = args[1];
    Record record;

    if (action == "read") {
        std::string why;
        const RecordRead result = dataPoint.files.read(file, record, &why);
        if (result == RecordRead::Missing)
            throw CliError{"cannot read " + file + ": no such file"};
        if (result == RecordRead::Failed)
            throw CliError{"cannot read " + file + ": " + why};
        for (const Field& field : record.fields)
            printLine(call.out, field.name + "\t" + field.dataType + "\t" + field.value);
        return 0;
    }

    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        if (eq == std::string::npos)
            throw CliError{"not a NAME=VALUE pair: " + args[i]};
        pairs.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    }
    // One locked read-change-write: a failed call writes nothing, a new file
    // is written whole, and a save made meanwhile is kept.
    const Status saved = dataPoint.files.update(file, [&](Record& current) {
        for (const auto& [name, value] : pairs) {
            if (!current.setValue(name, value))
                return Status::failure("cannot set " + name + ": " + file + " has no such field");
        }
        return Status::success();
    });
    if (!saved)
        throw CliError{saved.message()};
    return 0;
}

int uniqueNameCommand(Call& call) {
    const Args& args = call.arguments();
    const DataPointRecords none;
    printLine(call.out, none.files.uniqueName(args[0], args.size() > 1 ? args[1] : std::string()));
    return 0;
}

int mainFileCommand(Call& call) {
    printLine(call.out, mainFileOfCompanion(call.arguments()[0]));
    return 0;
}

int walkCommand(Call& call) {
    const Args& args = call.arguments();
    if (!fs::isDirectory(args[0]))
        throw CliError{"cannot walk " + args[0] + ": no such directory"};
    // The walk finds its folder records by their type, so the definitions
    // come from the data point the directory belongs to, when there is one.
    std::string dataPoint = path::withoutTrailingSeparator(args[0]);
    while (!dataPoint.empty() && !fs::exists(path::join(dataPoint, "DataPoint.info"))) {
        const std::string parent = path::directory(dataPoint);
        dataPoint = parent == dataPoint ? std::string() : parent;
    }
    std::optional<DataPointRecords> records;
    if (dataPoint.empty())
        records.emplace();
    else
        records.emplace(dataPoint);
    WalkPrinter printer(call.out);
    walkFolderTree(records->files, args[0], printer, 0);
    return 0;
}

} // namespace quill::cli
