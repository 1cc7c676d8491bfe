#include "core/online/AutoUpdatePresenter.h"

#include "core/form/OnlineControls.h"
#include "core/online/UpdateCheck.h"
#include "core/texts/OnlineTexts.h"

namespace pt {

using namespace auto_update_controls;

AutoUpdatePresenter::AutoUpdatePresenter(Browser& browser, Language lang, std::string versionText,
                                         std::string updateAddress, Mode mode)
    : m_browser(browser),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_address(std::move(updateAddress)),
      m_mode(mode) {
    m_form.setText(Window, auto_update_texts::Window.designed());
    m_form.setVisible(Window, false);
}

void AutoUpdatePresenter::load() {
    m_form.setVisible(Page, false);
    m_browser.navigate(m_address);
    m_form.setText(Status, "");
    m_form.setText(Window, auto_update_texts::Window.in(m_lang));
    m_form.setEnabled(Timer, true);
}

void AutoUpdatePresenter::onTick() {
    if (!timerRunning() || m_close) return;
    ++m_progressCount;
    m_form.setText(Status, auto_update_texts::Progress[m_progressCount % 4].in(m_lang));
    if (m_mode == Mode::Asked) m_form.setVisible(Window, m_progressCount > HiddenTicks);

    std::string title;
    if (m_progressCount >= FirstTitleTick) {
        title = m_browser.title();
        if (auto verdict = UpdateVerdictFromTitle(title, m_versionText)) {
            m_form.setVisible(Page, true);
            finish(*verdict == UpdateVerdict::Newer ? Outcome::Newer : Outcome::Current);
            return;
        }
    }
    if (m_progressCount > LastTick) finish(Outcome::NotReachable);
}

void AutoUpdatePresenter::finish(Outcome outcome) {
    m_outcome = outcome;
    m_form.setEnabled(Timer, false);
    switch (outcome) {
        case Outcome::Newer:
            m_form.setVisible(Window, true);
            m_form.setText(Status, auto_update_texts::Newer.in(m_lang));
            break;
        case Outcome::Current:
            m_form.setText(Status, auto_update_texts::Current.in(m_lang));
            // Nobody asked: a check that found nothing new closes unseen.
            if (m_mode == Mode::Unasked) m_close = true;
            break;
        case Outcome::NotReachable:
            m_form.setText(Status, auto_update_texts::NotReachable.in(m_lang));
            m_close = true;
            break;
        case Outcome::Pending:
            break;
    }
}

}  // namespace pt
