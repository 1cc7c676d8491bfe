#include "input/KeyCounter.h"

#include <string>

#include "form/MainControls.h"
#include "input/KeyName.h"
#include "stats/NumberText.h"

namespace pt {

KeyCounter::KeyCounter(StatisticsModel& stats, FormModel& mainForm, Language lang)
    : m_stats(stats), m_form(mainForm), m_lang(lang) {}

KeyCounter::~KeyCounter() {
    disconnect();
}

bool KeyCounter::connect(InputEvents& source) {
    if (m_source != &source) disconnect();
    m_source = &source;
    if (m_enabled) listen();
    return m_listening || !m_enabled;
}

void KeyCounter::disconnect() {
    stopListening();
    m_source = nullptr;
}

void KeyCounter::setCountingEnabled(bool enabled) {
    m_enabled = enabled;
    if (enabled)
        listen();
    else
        stopListening();
}

void KeyCounter::listen() {
    if (m_listening || !m_source) return;
    m_listening = m_source->connectKeys([this](int virtualKey) { countKey(virtualKey); });
}

void KeyCounter::stopListening() {
    if (!m_listening) return;
    m_source->disconnectKeys();
    m_listening = false;
}

std::string KeyCounter::TotalKeysText(double keyDownAll, Language lang) {
    const double tenThousands = IntPart(keyDownAll / 1000) / 10;
    std::string caption(TraditionalUnlessSimplified(lang, "累计:", "累計:"));
    caption += NumberToText(tenThousands);
    caption += TraditionalUnlessSimplified(lang, "万次", "萬次");
    return caption;
}

void KeyCounter::countKey(int virtualKey) {
    if (!m_enabled || keyName(virtualKey).empty()) return;

    m_stats.totalKeys.increment();
    m_stats.todayKeys.increment();

    m_form.setText(main_controls::TodayKeys, "今天:" + m_stats.todayKeys.toText());
    m_form.setToolTip(main_controls::TodayKeys,
                      TraditionalUnlessSimplified(m_lang, "统计今天您的键盘共被您击打的次数",
                                                  "統計今天您的鍵盤共被您擊打的次數"));
    m_form.setText(main_controls::TotalKeys, TotalKeysText(m_stats.totalKeys.toDouble(), m_lang));
    std::string tip(TraditionalUnlessSimplified(
        m_lang, "统计您的键盘累计被您敲打的次数,目前:", "統計您的鍵盤累計被您敲打的次數:"));
    tip += m_stats.totalKeys.toText();
    m_form.setToolTip(main_controls::TotalKeys, tip);
}

}  // namespace pt
