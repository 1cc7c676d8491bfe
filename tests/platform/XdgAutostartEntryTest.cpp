#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/shell/OptionsPresenter.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnv;

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

TEST(XdgAutostartEntry, FolderFollowsXdgConfigHomeElseHome) {
    test::TempDir dir;
    ScopedEnv home("HOME", (dir / "home").c_str());
    {
        ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").c_str());
        EXPECT_EQ(XdgAutostartEntry().file(), dir / "cfg" / "autostart" / "pathtally.desktop");
    }
    for (const char* ignored : {"", "relative/cfg"}) {
        ScopedEnv config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(XdgAutostartEntry().file(),
                  dir / "home" / ".config" / "autostart" / "pathtally.desktop")
            << '"' << ignored << '"';
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(XdgAutostartEntry::DefaultFolder(), dir / "home" / ".config" / "autostart");
}

TEST(XdgAutostartEntry, WritesAnEnabledEntryAndReadsItsPathBack) {
    test::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    XdgAutostartEntry entry;
    EXPECT_EQ(entry.read(), "") << "absent";

    entry.write("/opt/pathtally/pathtally");
    const std::string text = test::ReadAll(entry.file());
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    for (const char* line : {"Type=Application", "Exec=/opt/pathtally/pathtally", "Hidden=false",
                             "X-GNOME-Autostart-enabled=true", "X-KDE-autostart-after=panel"})
        EXPECT_TRUE(HasLine(text, line)) << line << " in\n" << text;
    EXPECT_NE(text.find("\nX-GNOME-Autostart-Delay="), std::string::npos);
    EXPECT_EQ(entry.read(), "/opt/pathtally/pathtally");
    EXPECT_EQ(XdgAutostartEntry().read(), "/opt/pathtally/pathtally") << "a fresh reader agrees";

    // Rewriting replaces the file as a whole and leaves no temporary behind.
    entry.write("/usr/local/bin/pathtally");
    EXPECT_EQ(entry.read(), "/usr/local/bin/pathtally");
    int files = 0;
    for (const auto& e : fs::directory_iterator(entry.file().parent_path())) {
        ++files;
        EXPECT_EQ(e.path().filename(), "pathtally.desktop");
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(fs::status(entry.file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST(XdgAutostartEntry, EmptyPathKeepsTheEntrySwitchedOff) {
    test::TempDir dir;
    XdgAutostartEntry entry(dir / "autostart" / "pathtally.desktop");
    entry.write("/opt/pathtally/pathtally");
    entry.write("");
    ASSERT_TRUE(fs::exists(entry.file()));
    const std::string text = test::ReadAll(entry.file());
    EXPECT_TRUE(HasLine(text, "Hidden=true")) << text;
    EXPECT_TRUE(HasLine(text, "X-GNOME-Autostart-enabled=false")) << text;
    EXPECT_TRUE(HasLine(text, "Exec=/opt/pathtally/pathtally")) << "still names the program";
    EXPECT_EQ(entry.read(), "");

    // Switched off with no entry before: one is made, naming the running program.
    XdgAutostartEntry fresh(dir / "other" / "pathtally.desktop");
    fresh.write("");
    const std::string made = test::ReadAll(fresh.file());
    EXPECT_TRUE(HasLine(made, "Hidden=true")) << made;
    EXPECT_NE(made.find("\nExec=" + fs::read_symlink("/proc/self/exe").string()), std::string::npos)
        << made;
    EXPECT_EQ(fresh.read(), "");
}

TEST(XdgAutostartEntry, PathsWithReservedCharactersAreQuotedAndRoundTrip) {
    EXPECT_EQ(XdgAutostartEntry::ExecValue("/opt/pt/pathtally"), "/opt/pt/pathtally");
    EXPECT_EQ(XdgAutostartEntry::ExecValue("/opt/my apps/pathtally"), "\"/opt/my apps/pathtally\"");
    EXPECT_EQ(XdgAutostartEntry::ExecValue("/opt/a$b/c\"d`e\\f"), "\"/opt/a\\$b/c\\\"d\\`e\\\\f\"");
    EXPECT_EQ(XdgAutostartEntry::ExecValue("/opt/100%/pt"), "/opt/100%%/pt");

    test::TempDir dir;
    XdgAutostartEntry entry(dir / "pathtally.desktop");
    for (const std::string path : {"/opt/my apps/pathtally", "/home/张三/程序/pathtally",
                                   "/opt/100% sure/p(t)", "/opt/a$b/c\"d`e\\f/it's", "/tmp/x\ty"}) {
        entry.write(path);
        EXPECT_EQ(entry.read(), path) << test::ReadAll(entry.file());
    }
    // The string escape applies on top of the quoting: a backslash is written four times.
    entry.write("/opt/a\\b c");
    EXPECT_TRUE(HasLine(test::ReadAll(entry.file()), "Exec=\"/opt/a\\\\\\\\b c\""))
        << test::ReadAll(entry.file());
}

TEST(XdgAutostartEntry, ReadsEntriesEditedByHandOrByTheDesktop) {
    test::TempDir dir;
    XdgAutostartEntry entry(dir / "pathtally.desktop");
    const auto readWith = [&](const std::string& text) {
        test::WriteAll(entry.file(), text);
        return entry.read();
    };
    EXPECT_EQ(readWith("# mine\n[Desktop Entry]\nName=P\n  Exec = /opt/px  \n"), "/opt/px");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=\"/opt/p t/x\"\n"), "/opt/p t/x");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/x\r\nHidden=false\r\n"), "/opt/x");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/x\nHidden=true\n"), "");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/x\nX-GNOME-Autostart-enabled=false\n"), "");
    EXPECT_EQ(readWith("[Other]\nExec=/opt/y\n[Desktop Entry]\nExec=/opt/x\n"), "/opt/x");
    EXPECT_EQ(readWith("[Desktop Entry]\nName=P\n"), "");
    EXPECT_EQ(readWith(""), "");
    EXPECT_EQ(readWith(std::string("\0\xff[\n=\n", 6)), "");
    // Not one plain program: returned as it stands, so it never equals a program path.
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/x --hidden\n"), "/opt/x --hidden");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/x %U\n"), "/opt/x %U");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=/opt/p t/x\n"), "/opt/p t/x");
    EXPECT_EQ(readWith("[Desktop Entry]\nExec=\"/opt/x\n"), "\"/opt/x");
}

// At login the entry starts the program in its data folder, with its icon; an entry written
// before it named them is brought up to date as it is read, still running the same program.
TEST(XdgAutostartEntry, NamesTheIconAndTheDataFolderAndUpdatesOlderEntries) {
    test::TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", (dir / "my data").c_str());
    XdgAutostartEntry entry(dir / "autostart" / "pathtally.desktop");
    entry.write("/opt/pathtally/pathtally");
    const std::string text = test::ReadAll(entry.file());
    EXPECT_TRUE(HasLine(text, "Icon=net.pathtally.Pathtally")) << text;
    EXPECT_TRUE(HasLine(text, "Path=" + (dir / "my data" / "pathtally").string())) << text;

    const std::string older =
        "[Desktop Entry]\nType=Application\nExec=\"/opt/p t/pathtally\"\nHidden=false\n";
    test::WriteAll(entry.file(), older);
    EXPECT_EQ(entry.read(), "/opt/p t/pathtally");
    const std::string updated = test::ReadAll(entry.file());
    EXPECT_TRUE(HasLine(updated, "Exec=\"/opt/p t/pathtally\"")) << updated;
    EXPECT_TRUE(HasLine(updated, "Icon=net.pathtally.Pathtally")) << updated;
    EXPECT_TRUE(HasLine(updated, "Path=" + (dir / "my data" / "pathtally").string())) << updated;
    EXPECT_TRUE(HasLine(updated, "Hidden=false")) << updated;

    // One switched off, or running something else than a program, is left as it is.
    for (const std::string& other : {std::string("[Desktop Entry]\nExec=/opt/x\nHidden=true\n"),
                                     std::string("[Desktop Entry]\nExec=/opt/x --hidden\n")}) {
        test::WriteAll(entry.file(), other);
        entry.read();
        EXPECT_EQ(test::ReadAll(entry.file()), other);
    }
}

TEST(XdgAutostartEntry, FailuresAreSilent) {
    test::TempDir dir;
    test::WriteAll(dir / "autostart", "a file where the folder should be");
    XdgAutostartEntry entry(dir / "autostart" / "pathtally.desktop");
    EXPECT_NO_THROW(entry.write("/opt/x"));
    EXPECT_EQ(entry.read(), "");
}

TEST(XdgAutostartEntry, OptionsDialogMovesAndSwitchesTheRealEntry) {
    test::TempDir dir;
    XdgAutostartEntry entry(dir / "autostart" / "pathtally.desktop");
    test::MemorySettingsStore store;
    test::FakeSystemInfo system;
    system.exe = "/opt/new place/pathtally";
    entry.write("/opt/old/pathtally");  // the program has moved since

    OptionsPresenter(store, entry, system, Language::Simplified, {}).accept();
    EXPECT_EQ(entry.read(), "/opt/new place/pathtally");
    EXPECT_EQ(ReadSetting(store, MainKey, "Aopen"), "1");

    OptionsPresenter off(store, entry, system, Language::Simplified, {});
    off.form().checkedByUser(off.form().slot(ControlId{"Check1"}), false);
    off.accept();
    EXPECT_TRUE(fs::exists(entry.file()));
    EXPECT_EQ(entry.read(), "");
    EXPECT_EQ(ReadSetting(store, MainKey, "Aopen"), "0");
}

}  // namespace
}  // namespace pt
