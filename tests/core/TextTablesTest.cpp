#include <gtest/gtest.h>

#include "core/texts/MainWindowTexts.h"
#include "core/texts/ViewTexts.h"

namespace pt {
namespace {

// English has no words of its own: each text of the tables shows there what one of the two
// scripts shows, so a column copied with a slip would show a text that exists nowhere else.
void ExpectEnglishIsAScript(const Text& text, std::string_view control) {
    const std::string_view english = text.in(Language::English);
    EXPECT_TRUE(english == text.in(Language::Simplified) ||
                english == text.in(Language::Traditional))
        << control << ": " << english;
}

TEST(TextTables, EnglishShowsTheSimplifiedOrTheTraditionalText) {
    for (const auto* table : {&MainWindowTexts(), &ClickLineWords()})
        for (const WindowText& t : *table) ExpectEnglishIsAScript(t.text, t.control.name);
    for (const AccessibleText& t : MainWindowAccessibleTexts()) {
        ExpectEnglishIsAScript(t.name, t.control.name);
        if (t.description) ExpectEnglishIsAScript(*t.description, t.control.name);
    }
}

}  // namespace
}  // namespace pt
