// The command line is read whole before the application object exists: the toolkit's own
// options are set aside first, so every answer and every error needs no display.

#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace pt {
namespace {

QStringList Args(std::initializer_list<const char*> args) {
    QStringList list{QStringLiteral("pathtally")};
    for (const char* a : args) list << QString::fromUtf8(a);
    return list;
}

TEST(CommandLine, ToolkitOptionsAreSetAsideWithTheirValues) {
    EXPECT_EQ(WithoutToolkitOptions(
                  Args({"-platform", "offscreen", "--display", ":1", "-reverse", "-style=fusion",
                        "--stylesheet", "a.qss", "-name", "pt", "--export-csv", "days.csv"})),
              Args({"--export-csv", "days.csv"}));
    // Ours and unknown ones stay, and so does everything after "--".
    EXPECT_EQ(WithoutToolkitOptions(Args({"--bogus", "-x", "--", "-platform", "xcb"})),
              Args({"--bogus", "-x", "--", "-platform", "xcb"}));
    // An option that takes a value but ends the line is left for the parser.
    EXPECT_EQ(WithoutToolkitOptions(Args({"--help", "-display"})), Args({"--help", "-display"}));
    EXPECT_EQ(WithoutToolkitOptions(Args({})), Args({}));
}

TEST(CommandLine, EveryErrorIsAnsweredWithoutTheApplication) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadCommandLine(WithoutToolkitOptions(Args({"--bogus"}))).exitStatus, 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Unknown option 'bogus'"),
              std::string::npos);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadCommandLine(WithoutToolkitOptions(Args({"-display", ":0", "stray"}))).exitStatus,
              1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("unexpected argument 'stray'"),
              std::string::npos);
    // An export without a file is the export's to refuse.
    const CommandLineRequest noFile = ReadCommandLine(Args({"--export-csv"}));
    EXPECT_FALSE(noFile.exitStatus);
    EXPECT_EQ(noFile.exportCsv, QString());

    const CommandLineRequest run =
        ReadCommandLine(WithoutToolkitOptions(Args({"-platform", "xcb"})));
    EXPECT_FALSE(run.exitStatus);
    EXPECT_FALSE(run.exportCsv);
    const CommandLineRequest export_ = ReadCommandLine(Args({"--export-csv", "d.csv"}));
    EXPECT_FALSE(export_.exitStatus);
    EXPECT_EQ(export_.exportCsv, QStringLiteral("d.csv"));
}

}  // namespace
}  // namespace pt
