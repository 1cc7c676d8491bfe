#include <gtest/gtest.h>

#include <memory>

#include "core/persistence/HistoryJournal.h"
#include "core/persistence/JournalDayHistory.h"
#include "support/DayHistoryContract.h"

namespace pt {
namespace {
using namespace pt::test;  // the contract suite

// The journal's file in memory; writes can be made to fail, after a part of the bytes.
struct FileBytes {
    std::string text;
    bool exists = false;
    bool failWrites = false;
    bool failReplaces = false;
    size_t partOfFailedWrite = 0;
    bool unreadable = false;
    int appends = 0, replaces = 0;
    std::string setAsideText;
};

class MemoryJournalFile : public JournalFile {
public:
    explicit MemoryJournalFile(std::shared_ptr<FileBytes> bytes) : m_bytes(std::move(bytes)) {}
    std::optional<std::string> read() override {
        if (m_bytes->unreadable) return std::nullopt;
        return m_bytes->text;
    }
    bool append(std::string_view bytes) override {
        ++m_bytes->appends;
        if (m_bytes->failWrites) {
            m_bytes->text += bytes.substr(0, m_bytes->partOfFailedWrite);
            return false;
        }
        m_bytes->exists = true;
        m_bytes->text += bytes;
        return true;
    }
    bool replace(std::string_view bytes) override {
        ++m_bytes->replaces;
        if (m_bytes->failWrites || m_bytes->failReplaces) return false;
        m_bytes->exists = true;
        m_bytes->text = bytes;
        return true;
    }
    bool setAside() override {
        m_bytes->setAsideText = m_bytes->text;
        m_bytes->text.clear();
        return true;
    }
    std::string place() const override { return "memory"; }

private:
    std::shared_ptr<FileBytes> m_bytes;
};

struct JournalBackend {
    using Store = JournalDayHistory;
    std::shared_ptr<FileBytes> bytes = std::make_shared<FileBytes>();
    std::unique_ptr<Store> open() {
        return std::make_unique<Store>(std::make_unique<MemoryJournalFile>(bytes));
    }
    template <class Fn>
    void inSave(Store& store, Fn fn) {
        store.beginGroup();
        fn(store);
        store.endGroup();
    }
};
using JournalBackends = ::testing::Types<JournalBackend>;
INSTANTIATE_TYPED_TEST_SUITE_P(Journal, DayHistoryContract, JournalBackends);

class HistoryJournalTest : public ::testing::Test {
protected:
    JournalBackend backend;
    FileBytes& file = *backend.bytes;
    std::unique_ptr<JournalDayHistory> store = backend.open();
};

TEST_F(HistoryJournalTest, ASaveIsOneLineAndTheFileIsRewrittenOnlyWhenItMustBe) {
    backend.inSave(*store, [](JournalDayHistory& s) {
        s.add("2026-12-07", 23, {1, 1, 0, 0, 1, 1});
        s.add("2026-12-08", 0, {2, 0, 0, 0, 0, 1});
        s.dropHoursBefore("2026-11-08");  // nothing that old: nothing rewritten for it
    });
    EXPECT_EQ(file.replaces, 1) << "the first write brings the header";
    backend.inSave(*store, [](JournalDayHistory& s) {
        s.add("2026-12-08", 0, {2, 0, 0, 0, 0, 1});
        s.add("2026-12-08", 1, {2, 0, 0, 0, 0, 1});
    });
    EXPECT_EQ(file.appends, 1);
    EXPECT_EQ(file.replaces, 1);
    store->dropHoursBefore("2026-12-08");
    EXPECT_EQ(file.replaces, 2);
    EXPECT_EQ(ReadHistoryJournal(file.text).lines, 4) << "two days and two hours kept";
    for (int i = 0; i <= JournalDayHistory::MaxLines; ++i) store->add("2026-12-08", 2, {1});
    EXPECT_EQ(file.replaces, 3) << "a journal grown long is rewritten";
    EXPECT_EQ(store->days()[1].figures.travel, 7 + JournalDayHistory::MaxLines);
}

TEST_F(HistoryJournalTest, AKillAtAnyByteOfAWriteLeavesTheLastWholeSave) {
    store->add("2026-12-08", 9, {5, 1, 0, 0, 2, 10});
    store->add("2026-12-08", 9, {5, 1, 0, 0, 2, 10});
    const std::string whole = file.text;
    const std::string last =
        HistoryJournalLine({{JournalEntry::Kind::Add, "2026-12-08", 9, {5, 1, 0, 0, 2, 10}, {}}});
    ASSERT_TRUE(whole.ends_with(last));
    const std::string earlier = whole.substr(0, whole.size() - last.size());
    for (size_t cut = 0; cut < last.size(); ++cut) {
        file.text = earlier + last.substr(0, cut);
        auto restarted = backend.open();
        // A line that lost only its line end is whole.
        const std::int64_t saves = cut + 1 == last.size() ? 2 : 1;
        ASSERT_EQ(restarted->days().size(), 1u) << cut;
        EXPECT_EQ(restarted->days()[0].figures,
                  (DayFigures{5 * saves, saves, 0, 0, 2 * saves, 10 * saves}))
            << cut;
        // The next save follows whole lines only.
        restarted->add("2026-12-08", 10, {1, 0, 0, 0, 0, 0});
        EXPECT_EQ(ReadHistoryJournal(file.text).badLines, 0) << cut;
        EXPECT_EQ(backend.open()->days()[0].figures.travel, 5 * saves + 1) << cut;
    }
    // The very first write cut short anywhere, even within the header: an empty history.
    const std::string first = file.text;
    for (size_t cut = 0; cut < HistoryJournalHeader().size() + 5; ++cut) {
        file.text = first.substr(0, cut);
        auto restarted = backend.open();
        EXPECT_LE(restarted->days().size(), 1u) << cut;
        restarted->add("2026-12-09", 0, {1});
        EXPECT_EQ(file.setAsideText, "") << "a cut header is ours, not set aside: " << cut;
        EXPECT_EQ(backend.open()->days().back().date, "2026-12-09") << cut;
    }
}

TEST_F(HistoryJournalTest, ADamagedLineIsSkippedAndTheRestKept) {
    store->add("2026-12-06", 9, {1});
    store->add("2026-12-07", 9, {1});
    store->add("2026-12-08", 9, {1});
    std::string& text = file.text;
    text[text.find("a 2026-12-07") + 2] = '3';  // a bit flipped on disk
    text.insert(text.find("a 2026-12-08"), "z unknown kind *00000000\n");
    auto restarted = backend.open();
    ASSERT_EQ(restarted->days().size(), 2u);
    EXPECT_EQ(restarted->days()[0].date, "2026-12-06");
    EXPECT_EQ(restarted->days()[1].date, "2026-12-08");
    restarted->add("2026-12-09", 0, {1});
    EXPECT_EQ(ReadHistoryJournal(file.text).badLines, 0) << "rewritten clean";
    EXPECT_EQ(backend.open()->days().size(), 3u);
}

TEST_F(HistoryJournalTest, AWriteThatFailsIsDroppedWholeAndTheNextOneStartsClean) {
    store->add("2026-12-08", 9, {10, 0, 0, 0, 0, 10});
    file.failWrites = true;
    file.partOfFailedWrite = 7;  // a disk that filled up within the line
    backend.inSave(*store, [](JournalDayHistory& s) {
        s.add("2026-12-08", 9, {1, 0, 0, 0, 0, 1});
        s.add("2026-12-08", 10, {1, 0, 0, 0, 0, 1});
    });
    EXPECT_FALSE(store->lastGroupSaved());
    EXPECT_EQ(store->days()[0].figures.travel, 10) << "what is shown is what the file holds";
    EXPECT_EQ(backend.open()->days()[0].figures.travel, 10);
    file.failWrites = false;
    store->add("2026-12-08", 11, {3, 0, 0, 0, 0, 3});
    EXPECT_TRUE(store->lastGroupSaved());
    EXPECT_EQ(ReadHistoryJournal(file.text).badLines, 0);
    auto restarted = backend.open();
    EXPECT_EQ(restarted->days()[0].figures, (DayFigures{13, 0, 0, 0, 0, 13}));
    EXPECT_EQ(restarted->hours("2026-12-08").size(), 2u);

    // A file that cannot be read is never written over; it is read again at the next call.
    file.unreadable = true;
    auto blind = backend.open();
    blind->add("2026-12-08", 11, {1});
    EXPECT_FALSE(blind->lastGroupSaved());
    file.unreadable = false;
    EXPECT_EQ(blind->days()[0].figures.travel, 13);
}

TEST_F(HistoryJournalTest, ASaveThatCannotReplaceTheFileGoesInAsALine) {
    store->add("2026-12-07", 9, {1});
    store->add("2026-12-08", 9, {1});
    file.text.resize(file.text.size() - 3);  // the last line cut short by a kill...
    auto restarted = backend.open();
    file.failReplaces = true;  // ...and an export holding the file open at the next save
    backend.inSave(*restarted, [](JournalDayHistory& s) {
        s.add("2026-12-08", 10, {5});
        s.dropHoursBefore("2026-12-08");
    });
    EXPECT_TRUE(restarted->lastGroupSaved());
    auto again = backend.open();
    EXPECT_EQ(again->days(), (std::vector<DayRow>{{"2026-12-07", {1}}, {"2026-12-08", {5}}}));
    EXPECT_TRUE(again->hours("2026-12-07").empty());
    file.failReplaces = false;
    again->add("2026-12-08", 10, {1});
    EXPECT_EQ(ReadHistoryJournal(file.text).badLines, 0) << "rewritten once it can be";
    EXPECT_EQ(backend.open()->days()[1].figures.travel, 6);
    // A file not yet begun is never started without its header.
    JournalBackend fresh;
    fresh.bytes->failReplaces = true;
    fresh.open()->add("2026-12-08", 1, {1});
    EXPECT_EQ(fresh.bytes->text, "");
}

TEST_F(HistoryJournalTest, ALaterVersionsJournalIsShownAndNeverWritten) {
    file.text = HistoryJournalHeader(2) +
                HistoryJournalLine({{JournalEntry::Kind::Day, "2026-12-07", 0, {4}, {}}}) +
                "q some later kind *12345678\n";
    const std::string before = file.text;
    store->add("2026-12-08", 9, {1});
    store->dropHoursBefore("2026-12-08");
    store->clear();
    EXPECT_EQ(file.text, before);
    EXPECT_TRUE(store->newerVersion());
    ASSERT_EQ(store->days().size(), 1u);
    EXPECT_EQ(store->days()[0], (DayRow{"2026-12-07", {4}}));
}

TEST_F(HistoryJournalTest, AFileThatIsNotAJournalIsSetAsideExceptByAReader) {
    file.text = "date,travel\r\n2026-12-08,5\r\n";
    auto reader = backend.open();
    reader->setReadOnlyAccess();
    EXPECT_FALSE(reader->readDays().has_value());
    EXPECT_EQ(file.setAsideText, "");
    store->add("2026-12-08", 9, {1});
    EXPECT_EQ(file.setAsideText, "date,travel\r\n2026-12-08,5\r\n");
    EXPECT_EQ(backend.open()->days(), (std::vector<DayRow>{{"2026-12-08", {1}}}));
    // A reader of a missing journal finds no day, which is not a failure.
    JournalBackend none;
    auto empty = none.open();
    empty->setReadOnlyAccess();
    EXPECT_EQ(empty->readDays(), std::vector<DayRow>{});
    EXPECT_FALSE(none.bytes->exists);
}

}  // namespace
}  // namespace pt
