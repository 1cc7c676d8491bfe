#include "core/input/InputAccessNotice.h"

#include <string>

#include "core/form/MainControls.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {

InputAccessNotice::InputAccessNotice(FormModel& form, const InputAccess* access, Language lang)
    : m_form(form), m_access(access), m_lang(lang) {
    m_form.setText(main_controls::InputAccessNotice, main_texts::NoInputAccessNotice.in(lang));
    m_form.setVisible(main_controls::InputAccessNotice, false);
    refresh();
}

void InputAccessNotice::refresh() {
    const bool measured = !m_access || m_access->devicesReadable();
    if (measured == m_measured) return;
    m_measured = measured;
    m_form.setVisible(main_controls::InputAccessNotice, !measured);
    if (!measured) {
        // No key arrives while nothing is readable: the text comes back unchanged.
        m_keptTodayKeys = m_form.get(main_controls::TodayKeys).text;
        m_form.setText(main_controls::TodayKeys,
                       std::string(main_texts::TodayKeys.in(m_lang)) +
                           std::string(main_texts::NotMeasured.in(m_lang)));
    } else {
        m_form.setText(main_controls::TodayKeys, m_keptTodayKeys);
    }
}

}  // namespace pt
