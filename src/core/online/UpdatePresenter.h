#pragma once

#include <string>

#include "core/form/FormModel.h"
#include "core/form/OnlineControls.h"
#include "core/ports/Browser.h"
#include "core/texts/Language.h"

namespace pt {

// The manual update window: the download page beside a status line with the running
// version; the user decides. Controls: "FormUpdate" (text = title), Label1, WebBrowser1,
// Timer1 (never runs here).
class UpdatePresenter {
public:
    UpdatePresenter(Browser& browser, Language lang, std::string versionText,
                    std::string downloadAddress);

    FormModel& form() { return m_form; }
    void load();

private:
    Browser& m_browser;
    Language m_lang;
    std::string m_versionText;
    std::string m_address;
    FormModel m_form{update_controls::All};
};

}  // namespace pt
