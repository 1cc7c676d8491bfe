#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/persistence/StartupMerge.h"
#include "core/stats/PersistenceTick.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/ModelWith.h"
#include "support/TempDir.h"

namespace pt {
namespace {

// Remembers every write in order and whether it fell inside a batch.
class RecordingStore : public test::MemorySettingsStore {
public:
    struct Write {
        std::string key, name, text;
        bool inBatch;
    };
    std::vector<Write> writes;
    int batches = 0, depth = 0;

    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override {
        writes.push_back({std::string(keyPath), std::string(name), std::string(text), depth > 0});
        test::MemorySettingsStore::write(root, keyPath, name, text);
    }
    void beginBatch() override {
        if (depth++ == 0) ++batches;
    }
    void endBatch() override { --depth; }
    std::string main(std::string_view name) { return ReadSetting(*this, MainKey, name); }
    std::string mirror(std::string_view name) { return ReadSetting(*this, MirrorKey, name); }
};

class PersistenceTickTest : public ::testing::Test {
protected:
    test::TempDir dir;
    StatisticsModel model;
    FormModel form;
    RecordingStore store;
    test::FakeClock clock;
    std::string computer = "DESKTOP-1";
    std::string startDate = "2026-12-01";
    std::function<void()> afterTick;  // what a test runs at the end of each tick
    PersistenceTick tick{model,
                         form,
                         store,
                         clock,
                         Language::Simplified,
                         dir / "PTDATA.CVD",
                         computer,
                         startDate,
                         nullptr,
                         [this] {
                             if (afterTick) afterTick();
                         }};

    void ticks(int n, PersistenceTick* other = nullptr) {
        for (int i = 0; i < n; ++i) (other ? *other : tick).tick();
    }
    std::string text(const char* name) { return form.get(ControlId{name}).text; }
    std::string tip(const char* name) { return form.get(ControlId{name}).toolTip; }
};

TEST_F(PersistenceTickTest, FirstSaveOnTheTenthTickThenEveryTenth) {
    model.startFrom(test::Totals(12345, 0));  // stored totals do not move the cadence
    ticks(9);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "PTDATA.CVD"));
    ticks(1);
    EXPECT_EQ(store.batches, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "PTDATA.CVD"));
    for (const auto& w : store.writes) EXPECT_TRUE(w.inBatch) << w.name;
    ticks(9);
    EXPECT_EQ(store.batches, 1);
    ticks(1);
    EXPECT_EQ(store.batches, 2);
}

TEST_F(PersistenceTickTest, SaveWritesEveryTotalToBothKeysInOrder) {
    model = test::ModelWith(test::Totals(0, 987654.75, {11, 2, 3, 16}, DynamicValue::Int32(70000)),
                            0, 0, {}, 0, {0, 1e9, 0});  // no records this time
    ticks(10);
    std::vector<std::string> order;
    for (const auto& w : store.writes) order.push_back((w.key == MainKey ? "M:" : "m:") + w.name);
    EXPECT_EQ(order, (std::vector<std::string>{
                         "M:Allmove", "m:Allmove", "M:AllUseTime", "m:AllUseTime", "M:leftClick",
                         "m:leftClick", "M:midClick", "m:midClick", "M:rightClick", "m:rightClick",
                         "M:totalClick", "m:totalClick", "M:KeyDownAll", "m:KeyDownAll"}));
    EXPECT_EQ(store.main("AllMove"), "987654");
    EXPECT_EQ(store.mirror("AllMove"), "987654");
    EXPECT_EQ(store.main("AllUseTime"), "10");
    EXPECT_EQ(store.mirror("totalClick"), "16");
    EXPECT_EQ(store.mirror("KeyDownAll"), "70000");
}

TEST_F(PersistenceTickTest, EqualIsNoRecord) {
    model = test::ModelWith({}, 500, 0, {3, 0, 0, 0}, 0, {500, 10, 3});
    form.setText(ControlId{"Label25"}, "before");
    ticks(10);
    for (const auto& w : store.writes)
        EXPECT_EQ(w.name.rfind("Max", 0), std::string::npos) << w.name;
    EXPECT_EQ(tip("Label8"), "");
    EXPECT_EQ(tip("Label16"), "");
    EXPECT_EQ(text("Label25"), "before");
}

TEST_F(PersistenceTickTest, BrokenRecordsAreWrittenWithTheirDates) {
    model = test::ModelWith({}, 500.5, 0, {4, 0, 0, 0}, 0, {500, 9, 3});
    form.setText(ControlId{"Label8"}, " 0.133m ");
    ticks(10);
    EXPECT_EQ(store.main("MaxMove"), "500");
    EXPECT_EQ(store.main("MaxMove_Date"), "2026-12-08");
    EXPECT_EQ(store.main("MaxUseTime"), "10");
    EXPECT_EQ(store.main("MaxUseTime_Date"), "2026-12-08");
    EXPECT_EQ(store.main("MaxTotalClick"), "4");
    EXPECT_EQ(store.main("MaxTotalClickDate"), "2026-12-08");
    EXPECT_EQ(store.mirror("MaxMove"), "");  // records live in the main key only
    EXPECT_EQ(tip("Label8"), "最高记录发生于:2026-12-08");
    EXPECT_EQ(text("Label8"), " 0.133m ");  // the shown record stays until the next start
    EXPECT_EQ(tip("Label16"), "最高记录发生于2026-12-08");
    EXPECT_EQ(text("Label25"), "历史最高记录:4次");
    EXPECT_EQ(tip("Label25"), "最高记录发生于:2026-12-08");
    // The loaded records stay: the next save writes the record again.
    EXPECT_EQ(model.records().travel, 500);
    model.addTravel(0, 0, 111.5);
    clock.setDate(2026, 12, 9);
    ticks(10);
    EXPECT_EQ(store.main("MaxMove"), "612");
    EXPECT_EQ(store.main("MaxMove_Date"), "2026-12-09");
}

TEST_F(PersistenceTickTest, RecordTextsFollowTheLanguage) {
    model = test::ModelWith({}, 1, 0, {1, 0, 0, 0});
    PersistenceTick traditional(model, form, store, clock, Language::Traditional,
                                dir / "PTDATA.CVD", computer, startDate);
    ticks(10, &traditional);
    EXPECT_EQ(tip("Label8"), "最高記錄發生於:2026-12-08");
    EXPECT_EQ(tip("Label16"), "最高記錄發生於2026-12-08");
    EXPECT_EQ(text("Label25"), "歷史最高記錄:1次");
    // English: Simplified for the travel and time records, Traditional for clicks.
    PersistenceTick english(model, form, store, clock, Language::English, dir / "PTDATA.CVD",
                            computer, startDate);
    ticks(10, &english);
    EXPECT_EQ(tip("Label8"), "最高记录发生于:2026-12-08");
    EXPECT_EQ(tip("Label16"), "最高记录发生于2026-12-08");
    EXPECT_EQ(tip("Label25"), "最高記錄發生於:2026-12-08");
}

TEST_F(PersistenceTickTest, TravelRecordIsAPlainWholeNumber) {
    model.addTravel(0, 0, 12345678.9);
    ticks(10);
    EXPECT_EQ(store.main("MaxMove"), "12345678");
    model.addTravel(0, 0, 98765432109.5 - 12345678.9);
    ticks(10);
    EXPECT_EQ(store.main("MaxMove"), "98765432109");
}

TEST_F(PersistenceTickTest, PointsSkipTheTickThatCompletesAMinute) {
    model.startFrom(test::Totals(119, 0));
    tick.tick();
    EXPECT_EQ(model.totals().useTime, 120);
    EXPECT_TRUE(model.points().isEmpty());
    EXPECT_EQ(text("Label21"), "");
    tick.tick();
    EXPECT_FALSE(model.points().isEmpty());
    EXPECT_EQ(text("Label21"), "0分(差10分)");
}

TEST_F(PersistenceTickTest, TimesAndStatusBar) {
    clock.bootMs = 2147483648ull;  // 24.9 days: no negative time
    model = test::ModelWith(test::Totals(3724, 0), 0, 0, {42, 0, 0, 0});
    int checks = 0;
    afterTick = [&] {
        ++checks;
        EXPECT_EQ(text("StatusBar1.Panel4"), "0:00:01");  // the check runs last
    };
    tick.tick();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(text("Label14"), "596:31:23");
    EXPECT_EQ(text("Label10"), "0:00:01");
    EXPECT_EQ(text("Label12"), "1:02:05");
    EXPECT_EQ(text("StatusBar1.Panel1"), "2026-12-08 21:30:00 星期二");
    EXPECT_EQ(text("StatusBar1.Panel3"), "42");
    EXPECT_EQ(model.todayUseTime(), 1);
}

TEST_F(PersistenceTickTest, UptimeDoesNotWrapAfter49Days) {
    clock.bootMs = (1ull << 32) + 5000;
    tick.tick();
    EXPECT_EQ(model.uptime(), 4294972);
    EXPECT_EQ(text("Label14"), "1193:02:52");
}

TEST_F(PersistenceTickTest, SavedTotalsComeBackAtTheNextStart) {
    model.startFrom(test::Totals(5000, 1234567.8, {5, 6, 7, 18}, DynamicValue::Int16(99)));
    ticks(3);
    tick.saveAll();  // as on exit: between two regular saves
    EXPECT_EQ(store.batches, 1);

    DataFile file(dir / "PTDATA.CVD");
    const FileTotals saved = file.load(computer);
    EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Loaded);
    LifetimeTotals next = MergedTotals(saved, store);
    EXPECT_EQ(next.useTime, 5003);
    EXPECT_EQ(next.travel, 1234567);
    EXPECT_EQ(next.clicks.all, 18);
    EXPECT_EQ(next.clicks.middle, 6);
    EXPECT_EQ(next.keys.toDouble(), 99);

    // The file alone restores the totals when the store copies were tampered with ...
    WriteSetting(store, MirrorKey, "AllUseTime", "1");
    EXPECT_EQ(MergedTotals(saved, store).useTime, 5003);
    // ... and the store alone when the file is gone.
    std::filesystem::remove(dir / "PTDATA.CVD");
    DataFile again(dir / "PTDATA.CVD");
    EXPECT_EQ(MergedTotals(again.load(computer), store).clicks.left, 5);
}

}  // namespace
}  // namespace pt
