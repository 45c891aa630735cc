#include "LargeDataPoint.h"

#include <filesystem>
#include <fstream>

namespace stdfs = std::filesystem;

namespace quill::bench {
namespace {

void write(const stdfs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
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
    return dp.string();
}

} // namespace quill::bench
