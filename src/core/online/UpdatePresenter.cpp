#include "core/online/UpdatePresenter.h"

#include "core/form/OnlineControls.h"
#include "core/texts/OnlineTexts.h"

namespace pt {

using namespace update_controls;

UpdatePresenter::UpdatePresenter(Browser& browser, Language lang, std::string versionText,
                                 std::string downloadAddress)
    : m_browser(browser),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_address(std::move(downloadAddress)) {
    m_form.setText(Window, update_texts::Window.designed());
}

void UpdatePresenter::load() {
    m_browser.navigate(m_address);
    m_form.setText(Version, "");
    m_form.setText(Window, update_texts::Window.in(m_lang));
    m_form.setEnabled(Timer, false);
    m_form.setVisible(Page, true);
    m_form.setText(Version, std::string(update_texts::VersionBefore.in(m_lang)) + m_versionText +
                                std::string(update_texts::VersionAfter.in(m_lang)));
}

}  // namespace pt
