#pragma once

#include <string>

#include "form/FormModel.h"
#include "platform/Browser.h"
#include "texts/Language.h"

namespace pt {

// The manual update window: the download page beside a status line with the running
// version; the user decides. Controls: "FormUpdate" (text = title), Label1, WebBrowser1,
// Timer1 (never runs here).
class FormUpdate {
public:
    FormUpdate(Browser& browser, Wlang lang, std::string versionNumber,
               std::string downloadAddress);

    FormModel& form() { return m_form; }
    void load();

private:
    Browser& m_browser;
    Wlang m_lang;
    std::string m_versionNumber;
    std::string m_address;
    FormModel m_form;
};

}  // namespace pt
