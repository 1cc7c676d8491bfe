#pragma once

#include <string_view>

#include "core/form/FormModel.h"
#include "core/ports/InputEvents.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

// Counts the keystrokes a desktop-wide key source reports and shows them in the main
// window's keystroke frame (Label73 today, Label74 total). Only counts leave a key
// event: no key code, name or time is kept once the handler returns.
class KeyCounter {
public:
    KeyCounter(StatisticsModel& stats, FormModel& mainForm, Language lang);
    ~KeyCounter();
    KeyCounter(const KeyCounter&) = delete;
    KeyCounter& operator=(const KeyCounter&) = delete;

    // Connects the desktop's key source; keys reach countKey while counting is on.
    // False when the desktop offers no key source.
    bool connect(InputEvents& source);
    void disconnect();

    // The stored switch AddSysHook = "1" turns keystroke counting off: the source is
    // then not listened to at all. On by default.
    void setCountingEnabled(bool enabled);
    bool countingEnabled() const { return m_enabled; }
    // True while key events are being received.
    bool listening() const { return m_listening; }

    // One key-down event with its Windows virtual-key code; Shift is not used.
    void countKey(int virtualKey);

    // The Label74 caption for a total: the total in units of ten thousand, truncated to
    // one decimal (12,345 -> "累计:1.2万次" in GB).
    static std::string TotalKeysText(double keyDownAll, Language lang);

private:
    void listen();
    void stopListening();

    StatisticsModel& m_stats;
    FormModel& m_form;
    Language m_lang;
    InputEvents* m_source = nullptr;
    bool m_enabled = true;
    bool m_listening = false;
};

}  // namespace pt
