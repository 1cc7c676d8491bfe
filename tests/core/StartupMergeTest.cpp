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
    StatisticsModel m;
    m.clicks.fileLeftClick = 500;
    m.clicks.fileMidClick = 700;
    m.clicks.fileRightClick = 500;
    m.clicks.fileTotalClick = 900;
    Store(store, "leftClick", "700", "700");   // agree, larger: the store wins
    Store(store, "midClick", "700", "700");    // agree, equal: the store wins
    Store(store, "rightClick", "700", "650");  // disagree: the store counts as 0
    // totalClick absent in both keys: agrees as 0.
    MergeClickTotals(m, store);
    EXPECT_EQ(m.clicks.leftClick, 700);
    EXPECT_EQ(m.clicks.storeLeftClick, 700);
    EXPECT_EQ(m.clicks.midClick, 700);
    EXPECT_EQ(m.clicks.rightClick, 500);
    EXPECT_EQ(m.clicks.storeRightClick, 0);
    EXPECT_EQ(m.clicks.totalClick, 900);
}

TEST(StartupMerge, ClickCopiesCompareAsNumbersAndHoldAt32Bits) {
    test::MemorySettingsStore store;
    StatisticsModel m;
    Store(store, "leftClick", "700", " 700.0");
    Store(store, "totalClick", "9999999999", "9999999999");
    MergeClickTotals(m, store);
    EXPECT_EQ(m.clicks.leftClick, 700);
    EXPECT_EQ(m.clicks.totalClick, 2147483647);
}

TEST(StartupMerge, UseTimeAndTravel) {
    test::MemorySettingsStore store;
    StatisticsModel m;
    m.fileUseTime = 5000;
    m.fileTravel = 100;
    m.todayUseTime = 9;  // today's values always start at 0
    m.todayTravel = 9;
    Store(store, "AllUseTime", "3600", "3600");
    Store(store, "Allmove", "250", "250");  // the name the save writes
    MergeUseTimeAndMove(m, store);
    EXPECT_EQ(m.storeUseTime, 3600);
    EXPECT_EQ(m.totalUseTime, 5000);
    EXPECT_EQ(m.storeTravel, 250);
    EXPECT_EQ(m.totalTravel, 250);
    EXPECT_EQ(m.todayUseTime, 0);
    EXPECT_EQ(m.todayTravel, 0);

    Store(store, "AllUseTime", "3600", "3700");
    MergeUseTimeAndMove(m, store);
    EXPECT_EQ(m.storeUseTime, 0);
    EXPECT_EQ(m.totalUseTime, 5000);

    // An equal file value leaves the store's.
    m.fileTravel = 250;
    Store(store, "AllMove", "250", "250");
    MergeUseTimeAndMove(m, store);
    EXPECT_EQ(m.totalTravel, 250);
}

TEST(StartupMerge, KeystrokesTakeTheMirrorCopy) {
    test::MemorySettingsStore store;
    StatisticsModel m;
    m.fileKeys = DynamicValue::Double(100);
    Store(store, "KeyDownAll", "4321", "4321.0");
    MergeKeyTotals(m, store);
    EXPECT_EQ(m.totalKeys.kind(), DynamicValue::Kind::Double);
    EXPECT_EQ(m.totalKeys.toText(), "4321");

    Store(store, "KeyDownAll", "4321", "4000");  // disagree: the store counts as 0
    MergeKeyTotals(m, store);
    EXPECT_EQ(m.totalKeys.toDouble(), 100);

    m.fileKeys = DynamicValue::Int16(0);
    MergeKeyTotals(m, store);
    EXPECT_EQ(m.totalKeys.kind(), DynamicValue::Kind::Int16);
    EXPECT_EQ(m.totalKeys.toText(), "0");
}

// A stored total beyond any real count (here as the data file and both store copies
// hold it) is held at the documented maximum, so nothing computed from it can stall.
TEST(StartupMerge, HugeTotalsAreHeldAtTheMaximum) {
    test::MemorySettingsStore store;
    StatisticsModel m;
    m.fileUseTime = 1e308;
    m.fileKeys = DynamicValue::Double(1e308);
    for (const char* name : {"AllUseTime", "AllMove", "KeyDownAll"})
        Store(store, name, "1E+308", "1E+308");
    MergeUseTimeAndMove(m, store);
    MergeKeyTotals(m, store);
    EXPECT_EQ(m.totalUseTime, MaxStoredTotal);
    EXPECT_EQ(m.totalTravel, MaxStoredTotal);
    EXPECT_EQ(m.totalKeys.toDouble(), MaxStoredTotal);

    // Only in the data file, and only just above the maximum.
    test::MemorySettingsStore empty;
    m.fileUseTime = MaxStoredTotal * 1.5;
    m.fileTravel = MaxStoredTotal;
    MergeUseTimeAndMove(m, empty);
    EXPECT_EQ(m.totalUseTime, MaxStoredTotal);
    EXPECT_EQ(m.totalTravel, MaxStoredTotal);
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
    StatisticsModel m;
    m.fileUseTime = 500;     // the data file is behind the store ...
    m.fileTravel = 9000000;  // ... except for the travel
    m.clicks.fileTotalClick = 40;
    m.fileKeys = DynamicValue::Double(100);
    MergeUseTimeAndMove(m, store);
    MergeClickTotals(m, store);
    MergeKeyTotals(m, store);
    ASSERT_EQ(m.totalUseTime, 500) << "a locked store adds nothing";
    const StatisticsModel atStart = m;

    // Counted while the store was locked.
    m.totalUseTime += 30;
    m.totalTravel += 70;
    m.clicks.leftClick += 60;
    m.clicks.totalClick += 60;
    m.totalKeys = DynamicValue::Double(m.totalKeys.toDouble() + 5);

    store.locked = false;
    JoinStoredTotals(m, atStart, store);
    EXPECT_EQ(m.totalUseTime, 100030);
    EXPECT_EQ(m.storeUseTime, 100000);
    EXPECT_EQ(m.totalTravel, 9000070) << "the larger data file still decides";
    EXPECT_EQ(m.clicks.leftClick, 2147483647) << "held at 32 bits";
    EXPECT_EQ(m.clicks.totalClick, 360);
    EXPECT_EQ(m.clicks.storeTotalClick, 300);
    EXPECT_EQ(m.totalKeys.toDouble(), 9005);

    // Joined once more (nothing new stored): nothing grows twice.
    const StatisticsModel joined = m;
    JoinStoredTotals(m, joined, store);
    EXPECT_EQ(m.totalUseTime, 100030);
    EXPECT_EQ(m.clicks.totalClick, 360);
}

}  // namespace
}  // namespace pt
