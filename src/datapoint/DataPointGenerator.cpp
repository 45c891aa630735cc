#include "datapoint/DataPointGenerator.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

// Generated files are many and disposable: written plainly, without the
// synchronised replacement that protects real data.
bool writePlain(const stdfs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

std::string folderRecord(const std::string& note) {
    return "FOLDER.BMP\r\n" + note +
           "\r\nSystem Administrator (ADMINISTRATOR); Anna Novak (ANNA); \r\n\r\n"
           "Anna Novak (ANNA)\r\nFALSE\r\n";
}

std::string noteRecord(const std::string& name, int n) {
    return name + "\r\nNotes on topic " + std::to_string(n) + " of the project, to be discussed.\r\nPlanning\r\n" +
           std::to_string(1 + n % 28) + ".12.2026\r\n9:" + std::to_string(10 + n % 50) +
           ":00\r\nAnna Novak (ANNA)\r\nSystem Administrator (ADMINISTRATOR); Anna Novak (ANNA); \r\nNOTE.BMP\r\n";
}

class Writer {
public:
    Writer(const GeneratorShape& shape) : shape_(shape), random_(shape.seed) {}

    void writeDocument(const stdfs::path& folder, int n) {
        const std::string name = "Note " + std::to_string(n);
        ok_ &= writePlain(folder / (name + ".note"), noteRecord(name, n));
        if (chance(shape_.commentsPercent))
            ok_ &= writePlain(folder / (name + ".comments"),
                              "First look: fine.\r\nPlease add the figures.\r\nDone, see the attachment.\r\n");
        if (chance(shape_.attachmentsPercent)) {
            const stdfs::path store = folder / "Attachments.systemfiles";
            stdfs::create_directories(store);
            const std::string stored = "Figures" + std::to_string(n) + ".DT8.12.2026" + std::to_string(n) + ".TD.txt";
            ok_ &= writePlain(store / stored, "Figures for note " + std::to_string(n) + "\r\n");
            ok_ &= writePlain(folder / (name + ".attachments"), "Figures\r\n" + stored + "\r\nATTACHMENT_DOCUMENT\r\n");
        }
        if (chance(shape_.schedulesPercent))
            ok_ &=
                writePlain(folder / (name + ".scheduler"),
                           "Anna Novak (ANNA)\r\nSystem Administrator (ADMINISTRATOR); Anna Novak (ANNA); \r\n" +
                               std::to_string(1 + n % 28) + ".1.2027\r\n10:00:00\r\n" + std::to_string(n % 4) + "\r\n");
    }

    bool ok() const { return ok_; }
    bool& ok() { return ok_; }

private:
    bool chance(int percent) { return percent > 0 && static_cast<int>(random_() % 100) < percent; }

    const GeneratorShape& shape_;
    std::mt19937 random_;
    bool ok_ = true;
};

// Folders level by level, each level as wide as the depth allows, until
// the count is reached.
std::vector<stdfs::path> makeFolders(const stdfs::path& root, const GeneratorShape& shape, Writer& writer) {
    std::vector<stdfs::path> folders;
    std::vector<stdfs::path> level{root};
    // The smallest branching whose levels hold all the folders.
    int branching = 1;
    while (branching < shape.folders) {
        long long total = 0;
        long long width = 1;
        for (int d = 1; d <= std::max(shape.depth, 1) && total < shape.folders; ++d)
            total += (width *= branching);
        if (total >= shape.folders)
            break;
        ++branching;
    }
    for (int d = 0; d < std::max(shape.depth, 1) && static_cast<int>(folders.size()) < shape.folders; ++d) {
        std::vector<stdfs::path> next;
        for (const stdfs::path& parent : level) {
            for (int b = 0; b < branching && static_cast<int>(folders.size()) < shape.folders; ++b) {
                const stdfs::path folder = parent / ("Folder " + std::to_string(folders.size() + 1));
                stdfs::create_directories(folder);
                writer.ok() &= writePlain(folder / "folder.folders", folderRecord("Generated folder"));
                folders.push_back(folder);
                next.push_back(folder);
            }
        }
        level = std::move(next);
    }
    return folders;
}

void writeUsers(const stdfs::path& dataPoint, int users, Writer& writer) {
    const stdfs::path records = dataPoint / "DataPoint.system" / "Users";
    std::ifstream annaFile(records / "ANNA.user", std::ios::binary);
    const std::string anna((std::istreambuf_iterator<char>(annaFile)), std::istreambuf_iterator<char>());
    std::string rest = anna;
    for (int line = 0; line < 3 && rest.find("\r\n") != std::string::npos; ++line)
        rest.erase(0, rest.find("\r\n") + 2);
    for (int u = 0; u < users; ++u) {
        const std::string logon = "USER" + std::to_string(u);
        writer.ok() &= writePlain(records / (logon + ".user"), logon + "\r\nFirst" + std::to_string(u) + "\r\nLast" +
                                                                   std::to_string(u) + "\r\n" + rest);
    }
}

} // namespace

Status generateDataPoint(const std::string& target, const std::string& sampleDataPoint, const GeneratorShape& shape) {
    if (shape.folders < 0 || shape.documents < 0 || shape.users < 0 || shape.depth < 1)
        return Status::failure("folders, documents and users cannot be negative, and the depth is at least 1");
    if (!fs::isRegularFile(path::join(sampleDataPoint, "DataPoint.info")))
        return Status::failure("no sample data point at " + sampleDataPoint);
    const stdfs::path dp = fs::native(target);
    std::error_code error;
    if (stdfs::exists(dp, error) && !stdfs::is_empty(dp, error))
        return Status::failure(target + " is not empty; a data point is generated only into a new directory");
    try {
        const stdfs::path sample = fs::native(sampleDataPoint);
        stdfs::create_directories(dp);
        stdfs::copy(sample / "DataPoint.info", dp / "DataPoint.info");
        if (stdfs::exists(sample / "DataPoint.settings"))
            stdfs::copy(sample / "DataPoint.settings", dp / "DataPoint.settings");
        stdfs::copy(sample / "DataPoint.system", dp / "DataPoint.system", stdfs::copy_options::recursive);
        stdfs::copy(sample / "DataPoint.users", dp / "DataPoint.users", stdfs::copy_options::recursive);
        const stdfs::path root = dp / "DataPoint.root";
        stdfs::create_directories(root);
        Writer writer(shape);
        writer.ok() &= writePlain(root / "folder.folders", folderRecord("Generated shared documents"));
        const std::vector<stdfs::path> folders = makeFolders(root, shape, writer);
        for (int n = 0; n < shape.documents; ++n)
            writer.writeDocument(folders.empty() ? root : folders[static_cast<std::size_t>(n) % folders.size()], n);
        writeUsers(dp, shape.users, writer);
        if (!writer.ok())
            return Status::failure("some files of " + target + " could not be written");
    } catch (const stdfs::filesystem_error& e) {
        return Status::failure(std::string("cannot generate the data point: ") + e.what());
    }
    return Status::success();
}

} // namespace quill
