#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/shell/OptionsPresenter.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

// Everything the dialog does to the outside, in order: store writes, autostart writes and
// hook switches.
struct Journal {
    std::vector<std::string> events;
};

class JournalStore : public test::MemorySettingsStore {
public:
    explicit JournalStore(Journal& journal) : m_journal(journal) {}
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override {
        m_journal.events.push_back(std::string(name) + "=" + std::string(text));
        test::MemorySettingsStore::write(root, keyPath, name, text);
    }

private:
    Journal& m_journal;
};

class JournalAutostart : public test::FakeAutostart {
public:
    explicit JournalAutostart(Journal& journal) : m_journal(journal) {}
    void write(const std::string& path) override {
        m_journal.events.push_back("autostart=" + path);
        FakeAutostart::write(path);
    }

private:
    Journal& m_journal;
};

// A click hook that counts how many are active.
struct Hook {
    Journal& journal;
    int active = 0;
    ClickHookSwitch hookSwitch() {
        return {[this] { return active > 0; },
                [this] {
                    ++active;
                    journal.events.push_back("install");
                },
                [this] {
                    active = 0;
                    journal.events.push_back("remove");
                }};
    }
};

class OptionsPresenterTest : public ::testing::Test {
protected:
    Journal journal;
    JournalStore store{journal};
    JournalAutostart autostart{journal};
    test::FakeSystemInfo system;
    Hook hook{journal};

    OptionsPresenter open(Language lang = Language::Simplified) {
        journal.events.clear();
        return OptionsPresenter(store, autostart, system, lang, hook.hookSwitch());
    }
    void set(const char* name, const char* text) {
        store.test::MemorySettingsStore::write(SettingsRoot::LocalMachine, MainKey, name, text);
    }
    std::string stored(const char* name) { return ReadSetting(store, MainKey, name); }
};

TEST_F(OptionsPresenterTest, FreshInstallTicksAutostartAndWritesEverythingInOrder) {
    auto dialog = open();
    EXPECT_TRUE(dialog.form().get(ControlId{"Check1"}).checked);
    EXPECT_TRUE(dialog.form().get(ControlId{"Check2"}).checked);
    EXPECT_FALSE(dialog.form().get(ControlId{"Check2"}).visible);
    EXPECT_FALSE(dialog.form().get(ControlId{"Check3"}).checked);
    EXPECT_FALSE(dialog.form().get(ControlId{"Check4"}).checked);
    EXPECT_FALSE(dialog.form().get(ControlId{"Check4"}).enabled);
    EXPECT_TRUE(journal.events.empty()) << "opening writes nothing";

    dialog.click(ControlId{"Command1"});
    EXPECT_TRUE(dialog.closeRequested());
    const std::vector<std::string> expected = {"autostart=/opt/pathtally/pathtally",
                                               "Aopen=1",
                                               "UpdateCK=1",
                                               "AddHook=0",
                                               "install",
                                               "AddSysHook=0"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(hook.active, 1);
}

TEST_F(OptionsPresenterTest, StoredValuesAreReadTrimmedAndAsDocumented) {
    set("Aopen", " 0 ");
    set("UpdateCK", "0\n");
    set("AddHook", "\t1 ");
    auto off = open();
    EXPECT_FALSE(off.form().get(ControlId{"Check1"}).checked);
    EXPECT_FALSE(off.form().get(ControlId{"Check2"}).checked);
    EXPECT_TRUE(off.form().get(ControlId{"Check3"}).checked);

    // Anything but "0" means on; only "1" switches click counting off.
    set("Aopen", "no");
    set("UpdateCK", "");
    set("AddHook", "yes");
    auto on = open();
    EXPECT_TRUE(on.form().get(ControlId{"Check1"}).checked);
    EXPECT_TRUE(on.form().get(ControlId{"Check2"}).checked);
    EXPECT_FALSE(on.form().get(ControlId{"Check3"}).checked);
}

TEST_F(OptionsPresenterTest, CurrentEntryIsNotRewrittenButAMovedProgramIs) {
    autostart.value = "/opt/pathtally/pathtally";
    set("Aopen", "1");
    open().click(ControlId{"Command1"});
    EXPECT_EQ(autostart.writes, 0);
    EXPECT_EQ(journal.events.front(), "UpdateCK=1") << "neither the entry nor Aopen is written";

    // The comparison is exact: another case or another folder is a different program.
    autostart.value = "/OPT/pathtally/pathtally";
    open().click(ControlId{"Command1"});
    EXPECT_EQ(autostart.value, "/opt/pathtally/pathtally");
    EXPECT_EQ(journal.events[0], "autostart=/opt/pathtally/pathtally");
    EXPECT_EQ(journal.events[1], "Aopen=1");
}

TEST_F(OptionsPresenterTest, UnknownProgramPathLeavesTheEntryOn) {
    autostart.value = "/opt/pathtally/pathtally";
    system.exe.clear();
    open().click(ControlId{"Command1"});
    EXPECT_EQ(autostart.writes, 0);
    EXPECT_EQ(autostart.value, "/opt/pathtally/pathtally");
}

TEST_F(OptionsPresenterTest, EntrySwitchedOnElsewhereStillRecordsTheWish) {
    // Aopen says off, but the entry already runs this program: ticking the box and
    // pressing OK must leave the box ticked for the next open.
    set("Aopen", "0");
    autostart.value = "/opt/pathtally/pathtally";
    auto dialog = open();
    dialog.form().checkedByUser(dialog.form().slot(ControlId{"Check1"}), true);
    dialog.click(ControlId{"Command1"});
    EXPECT_EQ(autostart.writes, 0);
    EXPECT_EQ(stored("Aopen"), "1");
    EXPECT_TRUE(open().form().get(ControlId{"Check1"}).checked);
}

TEST_F(OptionsPresenterTest, UntickingKeepsAnEmptyEntry) {
    autostart.value = "/opt/pathtally/pathtally";
    auto dialog = open();
    dialog.form().checkedByUser(dialog.form().slot(ControlId{"Check1"}), false);
    dialog.click(ControlId{"Command1"});
    EXPECT_EQ(journal.events[0], "autostart=");
    EXPECT_EQ(journal.events[1], "Aopen=0");
    EXPECT_EQ(autostart.writes, 1);
    EXPECT_EQ(autostart.value, "");
    EXPECT_FALSE(open().form().get(ControlId{"Check1"}).checked);
}

TEST_F(OptionsPresenterTest, ClickCountingSwitchesAtOnceAndNeverTwice) {
    hook.active = 1;  // start-up installed it
    auto on = open();
    on.click(ControlId{"Command1"});
    open().click(ControlId{"Command1"});
    EXPECT_EQ(hook.active, 1) << "OK twice leaves exactly one hook";

    auto off = open();
    off.form().checkedByUser(off.form().slot(ControlId{"Check3"}), true);
    off.click(ControlId{"Command1"});
    EXPECT_EQ(hook.active, 0);
    EXPECT_EQ(stored("AddHook"), "1");
    const auto addHook = std::find(journal.events.begin(), journal.events.end(), "AddHook=1");
    ASSERT_NE(addHook, journal.events.end());
    EXPECT_EQ(*(addHook + 1), "remove");

    auto back = open();
    EXPECT_TRUE(back.form().get(ControlId{"Check3"}).checked);
    back.form().checkedByUser(back.form().slot(ControlId{"Check3"}), false);
    back.click(ControlId{"Command1"});
    back.click(ControlId{"Command1"});  // a double click before the window closes
    EXPECT_EQ(hook.active, 1);
    EXPECT_EQ(std::count(journal.events.begin(), journal.events.end(), "install"), 1);
}

TEST_F(OptionsPresenterTest, ApplyCancelAndCloseWriteNothing) {
    set("AddHook", "1");
    for (const char* button : {"Command2", "Command3"}) {
        auto dialog = open();
        dialog.form().checkedByUser(dialog.form().slot(ControlId{"Check1"}), false);
        dialog.form().checkedByUser(dialog.form().slot(ControlId{"Check3"}), false);
        dialog.click(ControlId{button});
        EXPECT_TRUE(dialog.closeRequested()) << button;
        EXPECT_TRUE(journal.events.empty()) << button;
    }
    auto closed = open();
    closed.cancel();
    EXPECT_TRUE(journal.events.empty());
    EXPECT_TRUE(open().form().get(ControlId{"Check3"}).checked) << "reopening shows the old state";
    EXPECT_EQ(hook.active, 0);
}

TEST_F(OptionsPresenterTest, HiddenUpdateSettingIsWrittenBackAsLoaded) {
    set("UpdateCK", "0");
    open().click(ControlId{"Command1"});
    EXPECT_EQ(stored("UpdateCK"), "0");
}

TEST_F(OptionsPresenterTest, CaptionsInBothScripts) {
    auto gb = open(Language::Simplified);
    EXPECT_EQ(gb.form().get(ControlId{"FormOption"}).text, "选项");
    EXPECT_EQ(gb.form().get(ControlId{"Check1"}).text, "开机后自动启动本软件(强烈建议开启本功能)");
    EXPECT_EQ(gb.form().get(ControlId{"Check3"}).text, "关闭统计鼠标点击次数功能");
    EXPECT_EQ(gb.form().get(ControlId{"Command2"}).text, "应用(&A)");
    auto b5 = open(Language::Traditional);
    EXPECT_EQ(b5.form().get(ControlId{"FormOption"}).text, "選項");
    EXPECT_EQ(b5.form().get(ControlId{"Check1"}).text, "開機後自動啟動本軟體(強烈建議開啟本功能)");
    EXPECT_EQ(b5.form().get(ControlId{"Check2"}).text, "開啟線上更新檢查");
    EXPECT_EQ(b5.form().get(ControlId{"Check3"}).text, "關閉統計滑鼠點擊次數功能");
    EXPECT_EQ(b5.form().get(ControlId{"Check4"}).text,
              "关闭键盘按键次数统计功能");  // no Traditional text
    EXPECT_EQ(b5.form().get(ControlId{"Command1"}).text, "確定(&O)");
    EXPECT_EQ(b5.form().get(ControlId{"Command2"}).text, "應用(&A)");
    EXPECT_EQ(b5.form().get(ControlId{"Command3"}).text, "取消(&C)");
    // Any other language keeps the Simplified captions.
    EXPECT_EQ(open(Language::English).form().get(ControlId{"FormOption"}).text, "选项");
}

}  // namespace
}  // namespace pt
