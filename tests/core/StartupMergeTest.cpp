#include <gtest/gtest.h>

#include "core/persistence/StartupMerge.h"
#include "core/stats/StatisticsModel.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

void Store(SettingsStore& s, std::string_view name, const char* main, const char* mirror) {
    WriteSetting(s, MainKey, name, main);
    WriteSetting(s, MirrorKey, name, mirror);
}

TEST(StartupMerge, ClickTotalsTrustTheStoreOnlyWhenItsCopiesAgree) {
    test::MemorySettingsStore store;
    FileTotals file;
    file.fileLeftClick = 500;
    file.fileMidClick = 700;
    file.fileRightClick = 500;
    file.fileTotalClick = 900;
    Store(store, "leftClick", "700", "700");   // agree, larger: the store wins
    Store(store, "midClick", "700", "700");    // agree, equal: the store wins
    Store(store, "rightClick", "700", "650");  // disagree: the store counts as 0
    // totalClick absent in both keys: agrees as 0.
    const ClickCounts c = MergedTotals(file, store).clicks;
    EXPECT_EQ(c.left, 700);
    EXPECT_EQ(c.middle, 700);
    EXPECT_EQ(c.right, 500);
    EXPECT_EQ(c.all, 900);

    // A file value above the store's wins.
    file.fileLeftClick = 701;
    EXPECT_EQ(MergedTotals(file, store).clicks.left, 701);
}

TEST(StartupMerge, ClickCopiesCompareAsNumbersAndHoldAt32Bits) {
    test::MemorySettingsStore store;
    Store(store, "leftClick", "700", " 700.0");
    Store(store, "totalClick", "9999999999", "9999999999");
    const ClickCounts c = MergedTotals(FileTotals{}, store).clicks;
    EXPECT_EQ(c.left, 700);
    EXPECT_EQ(c.all, 2147483647);
}

TEST(StartupMerge, UseTimeAndTravel) {
    test::MemorySettingsStore store;
    FileTotals file;
    file.fileUseTime = 5000;
    file.fileTravel = 100;
    Store(store, "AllUseTime", "3600", "3600");
    Store(store, "Allmove", "250", "250");  // the name the save writes
    LifetimeTotals t = MergedTotals(file, store);
    EXPECT_EQ(t.useTime, 5000);
    EXPECT_EQ(t.travel, 250);

    file.fileUseTime = 3000;
    EXPECT_EQ(MergedTotals(file, store).useTime, 3600);
    Store(store, "AllUseTime", "3600", "3700");  // disagree: the store counts as 0
    EXPECT_EQ(MergedTotals(file, store).useTime, 3000);

    // An equal file value leaves the store's.
    file.fileTravel = 250;
    Store(store, "AllMove", "250", "250");
    EXPECT_EQ(MergedTotals(file, store).travel, 250);
}

TEST(StartupMerge, TodayBeginsAtZeroFromTheMergedTotals) {
    StatisticsModel m;
    m.countUseSecond();
    m.addTravel(1, 1, 9);
    LifetimeTotals t;
    t.useTime = 5000;
    t.travel = 250;
    m.startFrom(t);
    EXPECT_EQ(m.todayUseTime(), 0);
    EXPECT_EQ(m.todayTravel(), 0);
    EXPECT_EQ(m.totals().useTime, 5000);
    EXPECT_EQ(m.totals().travel, 250);
}

TEST(StartupMerge, KeystrokesTakeTheMirrorCopy) {
    test::MemorySettingsStore store;
    FileTotals file;
    file.fileKeys = DynamicValue::Double(100);
    Store(store, "KeyDownAll", "4321", "4321.0");
    DynamicValue keys = MergedTotals(file, store).keys;
    EXPECT_EQ(keys.kind(), DynamicValue::Kind::Double);
    EXPECT_EQ(keys.toText(), "4321");

    Store(store, "KeyDownAll", "4321", "4000");  // disagree: the store counts as 0
    EXPECT_EQ(MergedTotals(file, store).keys.toDouble(), 100);

    file.fileKeys = DynamicValue::Int16(0);
    keys = MergedTotals(file, store).keys;
    EXPECT_EQ(keys.kind(), DynamicValue::Kind::Int16);
    EXPECT_EQ(keys.toText(), "0");
}

// A stored total beyond any real count (here as the data file and both store copies
// hold it) is held at the documented maximum, so nothing computed from it can stall.
TEST(StartupMerge, HugeTotalsAreHeldAtTheMaximum) {
    test::MemorySettingsStore store;
    FileTotals file;
    file.fileUseTime = 1e308;
    file.fileKeys = DynamicValue::Double(1e308);
    for (const char* name : {"AllUseTime", "AllMove", "KeyDownAll"})
        Store(store, name, "1E+308", "1E+308");
    LifetimeTotals t = MergedTotals(file, store);
    EXPECT_EQ(t.useTime, MaxStoredTotal);
    EXPECT_EQ(t.travel, MaxStoredTotal);
    EXPECT_EQ(t.keys.toDouble(), MaxStoredTotal);

    // Only in the data file, and only just above the maximum.
    test::MemorySettingsStore empty;
    file.fileUseTime = MaxStoredTotal * 1.5;
    file.fileTravel = MaxStoredTotal;
    t = MergedTotals(file, empty);
    EXPECT_EQ(t.useTime, MaxStoredTotal);
    EXPECT_EQ(t.travel, MaxStoredTotal);
}

// A store locked at start reads as nothing; once it can be read, each total grows by what
// the store would have added then, and what was counted in between is kept.
TEST(StartupMerge, AStoreReadLateJoinsTheTotalsWithoutLosingWhatWasCounted) {
    test::MemorySettingsStore store;
    Store(store, "AllUseTime", "100000", "100000");
    Store(store, "AllMove", "5000000", "5000000");
    Store(store, "leftClick", "2147483600", "2147483600");
    Store(store, "totalClick", "300", "300");
    Store(store, "KeyDownAll", "9000", "9000");
    store.locked = true;
    FileTotals file;
    file.fileUseTime = 500;     // the data file is behind the store ...
    file.fileTravel = 9000000;  // ... except for the travel
    file.fileTotalClick = 40;
    file.fileKeys = DynamicValue::Double(100);
    StatisticsModel m;
    const LifetimeTotals atStart = MergedTotals(file, store);
    m.startFrom(atStart);
    ASSERT_EQ(m.totals().useTime, 500) << "a locked store adds nothing";

    // Counted while the store was locked.
    for (int i = 0; i < 30; ++i) m.countUseSecond();
    m.addTravel(0, 0, 70);
    for (int i = 0; i < 60; ++i) m.countClick(MouseButton::Left);
    for (int i = 0; i < 5; ++i) m.countKey();

    store.locked = false;
    const LifetimeTotals readable = MergedTotals(file, store);
    m.addStoredGrowth(atStart, readable);
    EXPECT_EQ(m.totals().useTime, 100030);
    EXPECT_EQ(m.totals().travel, 9000070) << "the larger data file still decides";
    EXPECT_EQ(m.totals().clicks.left, 2147483647) << "held at 32 bits";
    EXPECT_EQ(m.totals().clicks.all, 360);
    EXPECT_EQ(m.totals().keys.toDouble(), 9005);
    EXPECT_EQ(m.todayUseTime(), 30) << "what the store adds is no growth of today's";
    EXPECT_EQ(m.todayClicks().all, 60);

    // Joined once more (nothing new stored): nothing grows twice.
    m.addStoredGrowth(readable, MergedTotals(file, store));
    EXPECT_EQ(m.totals().useTime, 100030);
    EXPECT_EQ(m.totals().clicks.all, 360);
}

}  // namespace
}  // namespace pt
