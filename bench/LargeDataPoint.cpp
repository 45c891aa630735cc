#include "LargeDataPoint.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace stdfs = std::filesystem;

namespace quill::bench {
namespace {

void write(const stdfs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

std::string userName(int n) {
    return "USER" + std::to_string(n);
}

// User records shaped like the sample's: logon name, name, surname, then
// the rest of ANNA's record.
void writeUsersAndGroups(const stdfs::path& dp, const LargeDataPointShape& shape) {
    const stdfs::path users = dp / "DataPoint.system/Users";
    std::ifstream annaFile(users / "ANNA.user", std::ios::binary);
    std::string anna((std::istreambuf_iterator<char>(annaFile)), std::istreambuf_iterator<char>());
    std::string rest = anna;
    for (int line = 0; line < 3 && rest.find("\r\n") != std::string::npos; ++line)
        rest.erase(0, rest.find("\r\n") + 2);
    for (int u = 0; u < shape.users; ++u)
        write(users / (userName(u) + ".user"),
              userName(u) + "\r\nFirst" + std::to_string(u) + "\r\nLast" + std::to_string(u) + "\r\n" + rest);

    const stdfs::path groups = dp / "DataPoint.system/Resources/Users/ANNA/Groups";
    stdfs::create_directories(groups);
    for (int g = 0; g < shape.groups; ++g) {
        std::string content = "Group " + std::to_string(g) + "\r\n";
        for (int m = 0; m < 20; ++m)
            content += userName((g * 20 + m) % std::max(shape.users, 1)) + "\r\n";
        write(groups / ("Group " + std::to_string(g) + ".groups"), content);
    }
}

} // namespace

std::string generateLargeDataPoint(const std::string& directory, const std::string& sampleDataPoint,
                                   const LargeDataPointShape& shape) {
    const stdfs::path dp = stdfs::path(directory) / "LargeDataPoint";
    stdfs::remove_all(dp);
    stdfs::create_directories(dp);
    stdfs::copy(stdfs::path(sampleDataPoint) / "DataPoint.info", dp / "DataPoint.info");
    stdfs::copy(stdfs::path(sampleDataPoint) / "DataPoint.system", dp / "DataPoint.system",
                stdfs::copy_options::recursive);
    stdfs::create_directories(dp / "DataPoint.users");
    const stdfs::path root = dp / "DataPoint.root";
    stdfs::create_directories(root);
    write(root / "folder.folders", "FOLDER.BMP\r\nShared documents\r\n");
    for (int t = 0; t < shape.topFolders; ++t) {
        const stdfs::path top = root / ("Department " + std::to_string(t));
        stdfs::create_directories(top);
        write(top / "folder.folders", "FOLDER.BMP\r\nDepartment\r\n");
        for (int s = 0; s < shape.subFoldersPerFolder; ++s) {
            const stdfs::path sub = top / ("Project " + std::to_string(s));
            stdfs::create_directories(sub);
            write(sub / "folder.folders", "FOLDER.BMP\r\nProject folder\r\n");
            for (int p = 0; p < shape.plainDirectoriesPerFolder; ++p)
                stdfs::create_directories(sub / ("Attachments.systemfiles" + std::to_string(p)));
            for (int d = 0; d < shape.documentsPerFolder; ++d) {
                const std::string name = "Note " + std::to_string(d);
                write(sub / (name + ".note"), name + "\r\nSome text about the project\r\nGeneral\r\n8.12.2026\r\n"
                                                     "9:00:00\r\nAnna Novak\r\nAnna Novak\r\nNOTE.BMP\r\n");
                if (d % 4 == 0)
                    write(sub / (name + ".comments"), "First comment\r\nSecond comment\r\n");
                if (d % 6 == 0)
                    write(sub / (name + ".scheduler"), "Anna Novak\r\nAnna Novak\r\n9.12.2026\r\n10:00:00\r\n3\r\n");
            }
        }
    }
    writeUsersAndGroups(dp, shape);
    return dp.string();
}

} // namespace quill::bench
