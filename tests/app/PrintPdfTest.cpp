// quill --print-pdf as quill-cli and scripts run it: each document of a
// print file printed in its own template's colours, in the document list's
// order; a page that never finishes given up in time; a PDF that cannot be
// written failing with the system's reason.
#include "SessionFixture.h"

#include "navigation/PrintFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::quillProgram;
using test::readBytes;
using test::shellWord;
using test::writeBytes;

struct PdfRun {
    int status = -1;
    std::string errors;
    double seconds = 0;
};

PdfRun printPdf(const test::TempDir& scratch, const std::string& page, const std::string& pdf,
                const std::string& more = "") {
    const std::string errorFile = scratch / "stderr";
    const std::string command = shellWord(quillProgram()) + " --print-pdf " + shellWord(page) + " " + shellWord(pdf) +
                                " " + more + " >/dev/null 2>" + shellWord(errorFile);
    const auto start = std::chrono::steady_clock::now();
    const int raw = std::system(command.c_str());
    PdfRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = readBytes(errorFile);
    return run;
}

// The share of a page's pixels near a colour, from a binary PPM picture.
struct Picture {
    int width = 0, height = 0;
    std::string pixels;
    double share(int red, int green, int blue) const {
        std::size_t near = 0;
        for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
            const auto c = [&](std::size_t k) { return static_cast<int>(static_cast<unsigned char>(pixels[i + k])); };
            near += std::abs(c(0) - red) < 40 && std::abs(c(1) - green) < 40 && std::abs(c(2) - blue) < 40;
        }
        return pixels.empty() ? 0 : double(near) / double(pixels.size() / 3);
    }
};

Picture readPpm(const std::string& file) {
    const std::string bytes = readBytes(file);
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    Picture picture;
    in >> magic >> picture.width >> picture.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255)
        return {};
    picture.pixels = bytes.substr(static_cast<std::size_t>(in.tellg()));
    return picture;
}

class PrintPdfTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        if (quillProgram().empty())
            GTEST_SKIP() << "the windowed program is not built";
        ASSERT_TRUE(open());
    }
};

TEST_F(PrintPdfTest, EachDocumentPrintsInItsOwnTemplatesColoursInListOrder) {
    if (std::system("command -v pdftoppm >/dev/null") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    // A note whose heading is a red block by a linked sheet, a contract
    // whose heading is a blue one by a style of its own; both templates
    // style h1, so that the last one read would win everywhere if they
    // reached each other's pages.
    const std::string templates = session->context.settings.resourceDirectory + "HTML/";
    stdfs::create_directories(templates);
    for (const char* empty : {"HTML.comments.htm", "HTML.scheduler.htm", "HTML.attachments.htm", "HTML.end.htm"})
        writeBytes(templates + empty, "");
    writeBytes(templates + "note.css", "h1 { background: rgb(220, 0, 0); height: 300px; margin: 0 }\r\n");
    writeBytes(
        templates + "HTML.note.htm",
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"windows-1250\">\r\n<title>$DATA.NAME.DATA$</title>\r\n"
        "<link rel=\"stylesheet\" href=\"file://$IMAGERESOURCE$/HTML/note.css\">\r\n</head>\r\n"
        "<body>\r\n<h1>$DATA.NAME.DATA$</h1>\r\n</body>\r\n</html>\r\n");
    writeBytes(templates + "HTML.contract.htm",
               "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title>$DATA.NAME.DATA$</title>\r\n"
               "<style>\r\nh1 { background: rgb(0, 0, 220); height: 300px; margin: 0 }\r\n</style>\r\n</head>\r\n"
               "<body>\r\n<h1>$DATA.NAME.DATA$</h1>\r\n</body>\r\n</html>\r\n");
    // The list shows "Ideas for next year" before "Office supplies 2027",
    // though the contract was put in the folder first.
    const std::string folder = dataPoint + "/DataPoint.root/Print";
    stdfs::create_directories(folder);
    stdfs::copy_file(dataPoint + "/DataPoint.root/Contracts/Supplier.contract", folder + "/Supplier.contract");
    stdfs::copy_file(dataPoint + "/DataPoint.root/Projects/Ideas.note", folder + "/Ideas.note");

    std::vector<std::string> documents;
    for (const PrintableDocument& document : printableDocuments(*session, folder))
        documents.push_back(document.path);
    const Result<std::string> prepared = preparePrintFile(*session, documents);
    ASSERT_TRUE(prepared.ok()) << prepared.message();
    const std::string& printFile = prepared.value();
    const std::string pdf = dir / "print.pdf";
    const PdfRun run = printPdf(dir, printFile, pdf);
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(std::system(("pdftoppm -r 20 " + shellWord(pdf) + " " + shellWord(dir / "sheet")).c_str()), 0);

    const struct {
        const char* sheet;
        int red, blue; // the heading's colour
    } sheets[] = {{"sheet-1.ppm", 220, 0}, {"sheet-2.ppm", 0, 220}};
    for (const auto& sheet : sheets) {
        const Picture picture = readPpm(dir / sheet.sheet);
        ASSERT_GT(picture.width, 0) << sheet.sheet;
        EXPECT_GT(picture.share(sheet.red, 0, sheet.blue), 0.05) << sheet.sheet;
        EXPECT_EQ(picture.share(sheet.blue, 0, sheet.red), 0.0) << sheet.sheet;
    }
    EXPECT_FALSE(stdfs::exists(dir / "sheet-3.ppm"));
}

TEST_F(PrintPdfTest, APdfThatCannotBeMadeEndsInTimeAndSaysWhy) {
    const std::string fine = dir / "fine.htm";
    const std::string looping = dir / "looping.htm";
    writeBytes(fine, "<html><body><h1>Fine</h1></body></html>");
    writeBytes(looping, "<html><body><h1>Looping</h1><script>for (;;) {}</script></body></html>");
    stdfs::create_directories(dir / "taken");
    stdfs::create_directories(dir / "locked");
    stdfs::permissions(dir / "locked", stdfs::perms::owner_read | stdfs::perms::owner_exec);
    const struct {
        std::string page, pdf, more;
        int status;
        std::string said; // in what goes to standard error
        bool unlessRoot = false;
    } cases[] = {
        {fine, dir / "fine.pdf", "", 0, ""},
        {looping, dir / "looping.pdf", "--print-limit 3", 5, "not done within 3 seconds"},
        {fine, dir / "no such folder/fine.pdf", "", 5, "No such file or directory"},
        {fine, dir / "taken", "", 5, "Is a directory"},
        {fine, dir / "locked/fine.pdf", "", 5, "Permission denied", true},
        {fine, dir / "fine2.pdf", "--print-limit no", 4, "--print-limit needs a number of seconds"},
    };
    for (const auto& c : cases) {
        if (c.unlessRoot && ::geteuid() == 0)
            continue; // root writes anywhere
        const PdfRun run = printPdf(dir, c.page, c.pdf, c.more);
        EXPECT_EQ(run.status, c.status) << c.pdf << "\n" << run.errors;
        EXPECT_NE(run.errors.find(c.said), std::string::npos) << c.pdf << "\n" << run.errors;
        // The bound, with time to start and end the web engine.
        EXPECT_LT(run.seconds, 30) << c.pdf;
        EXPECT_EQ(stdfs::is_regular_file(c.pdf), c.status == 0) << c.pdf;
    }
    EXPECT_EQ(readBytes(dir / "fine.pdf").rfind("%PDF", 0), 0u);
}

} // namespace
} // namespace quill
