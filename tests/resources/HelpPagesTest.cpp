// The help pages: every help key the program opens has its page, and every
// link between help pages leads somewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kSource = QUILL_SOURCE_DIR;
const stdfs::path kHelp = kSource / "resources/Language/Help";

std::string contentOf(const stdfs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1].str());
    return found;
}

TEST(HelpPagesTest, EveryHelpKeyInTheCodeHasAPage) {
    const std::regex helpKey(R"#(openFormHelp\([^,()"]*, "([A-Z_]+)"\))#");
    std::set<std::string> keys;
    for (const auto& entry : stdfs::recursive_directory_iterator(kSource / "src")) {
        if (entry.is_regular_file())
            keys.merge(matches(contentOf(entry.path()), helpKey));
    }
    ASSERT_GE(keys.size(), 10u) << "the views open their help by key";
    for (const std::string& key : keys)
        EXPECT_TRUE(stdfs::is_regular_file(kHelp / "FORMS" / (key + ".htm"))) << key;
    // The Help node of the main tree opens the start page.
    EXPECT_TRUE(stdfs::is_regular_file(kHelp / "index.htm"));
}

TEST(HelpPagesTest, EveryLinkBetweenHelpPagesResolves) {
    const std::regex link(R"#((?:href|src)="([^"]*)")#");
    const std::regex anchor(R"#(id="([^"]+)")#");
    int pages = 0;
    for (const auto& entry : stdfs::recursive_directory_iterator(kHelp)) {
        if (entry.path().extension() != ".htm")
            continue;
        ++pages;
        for (const std::string& target : matches(contentOf(entry.path()), link)) {
            ASSERT_EQ(target.find("://"), std::string::npos) << entry.path() << " links outside: " << target;
            const std::size_t hash = target.find('#');
            const std::string file = target.substr(0, hash);
            const stdfs::path resolved = file.empty() ? entry.path() : entry.path().parent_path() / file;
            ASSERT_TRUE(stdfs::is_regular_file(resolved)) << entry.path() << " -> " << target;
            if (hash != std::string::npos) {
                EXPECT_TRUE(matches(contentOf(resolved), anchor).count(target.substr(hash + 1)))
                    << entry.path() << " -> " << target;
            }
        }
    }
    EXPECT_GE(pages, 18);
}

} // namespace
} // namespace quill
