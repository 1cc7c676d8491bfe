#include "input/InputAccessNotice.h"

#include <string>

#include "texts/InputAccessTexts.h"

namespace pt {

InputAccessNotice::InputAccessNotice(FormModel& form, const InputAccess* access, Language lang)
    : m_form(form),
      m_access(access),
      m_lang(lang),
      m_notice(form.id(kControl)),
      m_todayKeys(form.id("Label73")) {
    m_form.setText(m_notice, NoInputAccessNotice(lang));
    m_form.setVisible(m_notice, false);
    refresh();
}

void InputAccessNotice::refresh() {
    const bool measured = !m_access || m_access->devicesReadable();
    if (measured == m_measured) return;
    m_measured = measured;
    m_form.setVisible(m_notice, !measured);
    if (!measured) {
        // No key arrives while nothing is readable: the text comes back unchanged.
        m_keptTodayKeys = m_form[m_todayKeys].text;
        m_form.setText(m_todayKeys, "今天:" + std::string(NotMeasuredText(m_lang)));
    } else {
        m_form.setText(m_todayKeys, m_keptTodayKeys);
    }
}

}  // namespace pt
