#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/form/ControlId.h"
#include "core/texts/Language.h"

namespace pt {

// What a screen reader says for a control of the main window that shows a figure or takes
// a value: its name and, for some, a description. Like the captions beside them, the
// statistics page's texts turn Traditional only for "B5", the shutdown page's for every
// language but Simplified.
struct AccessibleText {
    ControlId control;
    Text name;
    std::optional<Text> description = std::nullopt;
    std::string_view descriptionIn(Language lang) const {
        return description ? description->in(lang) : std::string_view{};
    }
};

// Every field and figure of the main window, the two click lines ("ClickLineToday",
// "ClickLineTotal") and the two web pages.
const std::vector<AccessibleText>& MainWindowAccessibleTexts();

}  // namespace pt
