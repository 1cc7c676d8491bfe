#include "online/AutoUpdatePresenter.h"

#include "form/OnlineControls.h"
#include "online/UpdateCheck.h"

namespace pt {

using namespace auto_update_controls;

namespace {

// Simplified when the language is "GB", Traditional otherwise.
std::string_view Text(Language lang, std::string_view simplified, std::string_view traditional) {
    return TraditionalUnlessSimplified(lang, simplified, traditional);
}

std::string_view ProgressText(Language lang, int count) {
    switch (count % 4) {
        case 1:
            return Text(lang, "正在连线检查中...|", "正在連線檢查中...|");
        case 2:
            return Text(lang, "正在连线检查中.../", "正在連線檢查中.../");
        case 3:
            return Text(lang, "正在连线检查中...-", "正在連線檢查中...-");
        default:
            return Text(lang, "正在连线检查中...\\", "正在連線檢查中...\\");
    }
}

}  // namespace

AutoUpdatePresenter::AutoUpdatePresenter(Browser& browser, Language lang, std::string versionText,
                                         std::string updateAddress, Mode mode)
    : m_browser(browser),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_address(std::move(updateAddress)),
      m_mode(mode) {
    m_form.setText(Window, "自动检查更新...");
    m_form.setVisible(Window, false);
}

void AutoUpdatePresenter::load() {
    m_form.setVisible(Page, false);
    m_browser.navigate(m_address);
    m_form.setText(Status, "");
    if (m_lang == Language::Traditional) m_form.setText(Window, "Pathtally 更新升級...");
    m_form.setEnabled(Timer, true);
}

void AutoUpdatePresenter::onTick() {
    if (!timerRunning() || m_close) return;
    ++m_progressCount;
    m_form.setText(Status, ProgressText(m_lang, m_progressCount));
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
            m_form.setText(Status, Text(m_lang, "已检测到有更新版本，请下载升级",
                                        "已檢測到有更新版本，請下載升級"));
            break;
        case Outcome::Current:
            m_form.setText(Status, Text(m_lang, "您正在使用的已经是最新版本，无需升级",
                                        "您正在使用的已經是最新版本，無需升級"));
            // Nobody asked: a check that found nothing new closes unseen.
            if (m_mode == Mode::Unasked) m_close = true;
            break;
        case Outcome::NotReachable:
            m_form.setText(Status, Text(m_lang, "您的网络无法连通,无法在线升级",
                                        "您的網路無法連通,無法線上升級"));
            m_close = true;
            break;
        case Outcome::Pending:
            break;
    }
}

}  // namespace pt
