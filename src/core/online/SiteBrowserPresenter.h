#pragma once

#include <cstdint>
#include <string>

#include "core/form/FormModel.h"
#include "core/form/OnlineControls.h"
#include "core/ports/Browser.h"

namespace pt {

// A small browser on the product website. Its title follows the page title, refreshed
// by a 100 ms timer on every tick whose count is not a multiple of 5.
// Controls: "FormWebBrowser" (text = title), WebBrowser1, Timer1.
class SiteBrowserPresenter {
public:
    static constexpr int TickMilliseconds = 100;

    SiteBrowserPresenter(Browser& browser, std::string siteRoot);

    FormModel& form() { return m_form; }
    void load();
    void onTick();

    std::int16_t webOpenTime() const { return m_webOpenTime; }

private:
    Browser& m_browser;
    std::string m_siteRoot;
    FormModel m_form{site_browser_controls::All};
    // Wraps to 0 after 32767 instead of overflowing after 54 minutes open.
    std::int16_t m_webOpenTime = 0;
};

}  // namespace pt
