#include "core/online/SiteBrowserPresenter.h"

#include <limits>

#include "core/form/OnlineControls.h"

namespace pt {

using namespace site_browser_controls;

SiteBrowserPresenter::SiteBrowserPresenter(Browser& browser, std::string siteRoot)
    : m_browser(browser), m_siteRoot(std::move(siteRoot)) {}

void SiteBrowserPresenter::load() {
    m_webOpenTime = 0;
    m_browser.navigate(m_siteRoot);
    m_form.setText(Window, m_browser.title());
    m_form.setEnabled(Timer, true);
}

void SiteBrowserPresenter::onTick() {
    m_webOpenTime = m_webOpenTime == std::numeric_limits<std::int16_t>::max()
                        ? std::int16_t{0}
                        : static_cast<std::int16_t>(m_webOpenTime + 1);
    if (m_webOpenTime % 5 != 0) m_form.setText(Window, m_browser.title());
}

}  // namespace pt
