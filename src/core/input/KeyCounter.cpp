#include "input/KeyCounter.h"

#include <string>

#include "input/KeyName.h"
#include "stats/NumberText.h"

namespace pt {

KeyCounter::KeyCounter(StatisticsModel& stats, FormModel& mainForm, Wlang lang)
    : m_stats(stats),
      m_form(mainForm),
      m_lang(lang),
      m_label73(mainForm.id("Label73")),
      m_label74(mainForm.id("Label74")) {}

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
    m_listening = m_source->connectKeys([this](int virtualKey) { sh_KeyDown(virtualKey, 0); });
}

void KeyCounter::stopListening() {
    if (!m_listening) return;
    m_source->disconnectKeys();
    m_listening = false;
}

std::string KeyCounter::TotalCaption(double keyDownAll, Wlang lang) {
    const double tenThousands = IntPart(keyDownAll / 1000) / 10;
    std::string caption(GbTest(lang, "累计:", "累計:"));
    caption += NumberToText(tenThousands);
    caption += GbTest(lang, "万次", "萬次");
    return caption;
}

void KeyCounter::sh_KeyDown(int KeyCode, int /*Shift*/) {
    if (!m_enabled || keyName(KeyCode).empty()) return;

    m_stats.KeyDownAll.increment();
    m_stats.KeyDownToday.increment();

    m_form.setText(m_label73, "今天:" + m_stats.KeyDownToday.toText());
    m_form.setToolTip(m_label73, GbTest(m_lang, "统计今天您的键盘共被您击打的次数",
                                        "統計今天您的鍵盤共被您擊打的次數"));
    m_form.setText(m_label74, TotalCaption(m_stats.KeyDownAll.toDouble(), m_lang));
    std::string tip(
        GbTest(m_lang, "统计您的键盘累计被您敲打的次数,目前:", "統計您的鍵盤累計被您敲打的次數:"));
    tip += m_stats.KeyDownAll.toText();
    m_form.setToolTip(m_label74, tip);
}

}  // namespace pt
