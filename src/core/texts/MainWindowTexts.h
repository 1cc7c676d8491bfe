#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "form/FormModel.h"
#include "texts/Language.h"

namespace pt {

// One language-dependent text of the main window: the designed (Simplified) text and the
// Traditional text that replaces it when the language is "B5". Texts that exist in one
// script only have an empty traditional column.
struct WindowText {
    ControlId control;
    std::string_view simplified;
    std::string_view traditional;
    bool toolTip = false;
};

// Every designed caption, tab title, status-bar text and tooltip and menu caption.
const std::vector<WindowText>& MainWindowTexts();

// The designed (Simplified) texts, as the window starts.
void ApplyDesignedTexts(FormModel& form);
// Replaces the designed texts that have a Traditional form.
void ApplyTraditionalTexts(FormModel& form);

// The record texts of the statistics page: the travel record's tooltip (Label8), the use
// time record's tooltip (Label16, without a colon) and the click record's caption and
// tooltip (Label25). The first two follow the B5 test, the click record the GB test.
std::string MoveRecordTip(Language lang, std::string_view date);
std::string UseTimeRecordTip(Language lang, std::string_view date);
std::string ClickRecordText(Language lang, std::string_view count);
std::string ClickRecordTip(Language lang, std::string_view date);

// Said once at start when the settings store can be read but not written (`folder`).
std::string StoreReadOnlyText(Language lang, std::string_view folder);

}  // namespace pt
