#include "online/UpdatePresenter.h"

#include "form/OnlineControls.h"

namespace pt {

using namespace update_controls;

UpdatePresenter::UpdatePresenter(Browser& browser, Language lang, std::string versionText,
                                 std::string downloadAddress)
    : m_browser(browser),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_address(std::move(downloadAddress)) {
    m_form.setText(Window, "Pathtally 更新升级...");
}

void UpdatePresenter::load() {
    m_browser.navigate(m_address);
    m_form.setText(Version, "");
    if (m_lang == Language::Traditional) m_form.setText(Window, "Pathtally 更新升級...");
    m_form.setEnabled(Timer, false);
    m_form.setVisible(Page, true);
    m_form.setText(Version, std::string(TraditionalUnlessSimplified(m_lang, "您当前的版本是：",
                                                                    "您當前的版本是：")) +
                                m_versionText +
                                std::string(TraditionalUnlessSimplified(
                                    m_lang, "  (请自行决定是否升级)", "  (請自行決定是否升級)")));
}

}  // namespace pt
