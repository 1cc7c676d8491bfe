// The real binary's command line with no display at all (neither X11 nor Wayland): every
// wrong command line is answered by the program itself, before the toolkit would need a
// display and abort, and before anything is written.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ProgramProcess.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

size_t Entries(const fs::path& folder) {
    if (!fs::exists(folder)) return 0;
    return static_cast<size_t>(std::distance(fs::recursive_directory_iterator(folder),
                                             fs::recursive_directory_iterator()));
}

TEST(CommandLineE2ETest, ErrorsAreAnsweredWithoutADisplay) {
    test::TempDir dir;
    const fs::path config = dir / "config";
    struct Case {
        const char* arguments;
        const char* said;
    };
    for (const Case& c :
         {Case{"--bogus", "Unknown option 'bogus'"}, Case{"-bogus", "Unknown option 'bogus'"},
          // The toolkit's own options are taken out first, with their values.
          Case{"-platform xcb -display :0 --bogus", "Unknown option 'bogus'"},
          Case{"stray", "unexpected argument 'stray'"},
          Case{"--export-csv a.csv stray", "unexpected argument 'stray'"}}) {
        const test::CommandResult result = test::RunWithoutDisplay(config, c.arguments);
        EXPECT_EQ(result.code, 1) << c.arguments << ": " << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos)
            << c.arguments << ": " << result.output;
        EXPECT_NE(result.output.find("Usage: pathtally [options]"), std::string::npos)
            << c.arguments << ": the usage follows the error";
        EXPECT_EQ(result.output.find("qt.qpa"), std::string::npos)
            << c.arguments << ": the toolkit was started: " << result.output;
    }
    EXPECT_EQ(Entries(config), 0u) << "a refused command line writes nothing";
}

TEST(CommandLineE2ETest, HelpAndVersionNeedNoDisplay) {
    test::TempDir dir;
    const test::CommandResult help = test::RunWithoutDisplay(dir / "config", "--help");
    EXPECT_EQ(help.code, 0) << help.output;
    EXPECT_NE(help.output.find("--export-csv <file>"), std::string::npos) << help.output;
    const test::CommandResult version = test::RunWithoutDisplay(dir / "config", "-v");
    EXPECT_EQ(version.code, 0) << version.output;
    EXPECT_EQ(version.output.rfind("Pathtally ", 0), 0u) << version.output;
}

}  // namespace
}  // namespace pt
