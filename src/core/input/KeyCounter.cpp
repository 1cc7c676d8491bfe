#include "core/input/KeyCounter.h"

#include <string>

#include "core/form/MainControls.h"
#include "core/input/KeyName.h"
#include "core/stats/NumberText.h"
#include "core/texts/MainWindowTexts.h"

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
    std::string caption(main_texts::TotalKeysBefore.in(lang));
    caption += NumberToText(tenThousands);
    caption += main_texts::TotalKeysAfter.in(lang);
    return caption;
}

void KeyCounter::countKey(int virtualKey) {
    if (!m_enabled || keyName(virtualKey).empty()) return;

    m_stats.countKey();

    m_form.setText(main_controls::TodayKeys,
                   std::string(main_texts::TodayKeys.in(m_lang)) + m_stats.todayKeys().toText());
    m_form.setToolTip(main_controls::TodayKeys, main_texts::TodayKeysTip.in(m_lang));
    m_form.setText(main_controls::TotalKeys,
                   TotalKeysText(m_stats.totals().keys.toDouble(), m_lang));
    std::string tip(main_texts::TotalKeysTip.in(m_lang));
    tip += m_stats.totals().keys.toText();
    m_form.setToolTip(main_controls::TotalKeys, tip);
}

}  // namespace pt
