#pragma once

#include <string>

#include "core/form/FormModel.h"
#include "core/ports/InputAccess.h"
#include "core/texts/Language.h"

namespace pt {

// The statistics page's notice for a desktop whose input devices cannot be read: shown with
// the fix while no device can be opened, hidden otherwise. While it shows, today's keystroke
// figure reads "not measured" (the sampling tick marks the travel and click figures); when
// a device becomes readable the figure shows what it showed before. Without an access report
// (null) everything counts as measured.
class InputAccessNotice {
public:
    InputAccessNotice(FormModel& form, const InputAccess* access, Language lang);

    // Follows the access as it stands now; cheap when nothing changed.
    void refresh();
    bool measured() const { return m_measured; }

private:
    FormModel& m_form;
    const InputAccess* m_access;
    Language m_lang;
    bool m_measured = true;  // as the form starts: no notice
    std::string m_keptTodayKeys;
};

}  // namespace pt
