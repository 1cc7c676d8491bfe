#include "shell/AboutPresenter.h"

#include "form/DialogControls.h"
#include "online/Site.h"
#include "shell/FeedbackMail.h"

namespace pt {

using namespace about_controls;

AboutPresenter::AboutPresenter(SettingsStore& store, Shell& shell, Language lang, AboutFacts facts)
    : m_store(store), m_shell(shell), m_lang(lang), m_facts(std::move(facts)) {
    fillForm();
}

void AboutPresenter::fillForm() {
    m_timerEnabled = true;
    m_logoBorder = false;
    m_siteRoot = SiteRoot(m_store);

    const std::string& version = m_facts.versionText;
    m_form.setText(Window, SimplifiedUnlessTraditional(m_lang, "关于 Pathtally", "關於 Pathtally"));
    m_form.setText(Version, "版本:" + version);
    m_form.setText(VersionAndMaker, "版本：" + version + "　" + std::string(MakerName));
    m_form.setText(ComputerAndUser, m_facts.computerName + "\\" + m_facts.userName);
    m_form.setText(SiteCaption, SimplifiedUnlessTraditional(m_lang, "官方网站：", "官方網站："));
    m_form.setText(Site, m_siteRoot);
    m_form.setText(BackupSiteCaption,
                   SimplifiedUnlessTraditional(m_lang, "备用网址:", "備用網址:"));
    m_form.setText(BackupSite, std::string(BackupSiteRoot));
    const std::string_view backupTip = SimplifiedUnlessTraditional(
        m_lang, "当上面的官方网站打不开时的备用网址", "當官方網站打不開時的備用網址");
    m_form.setToolTip(BackupSiteCaption, backupTip);
    m_form.setToolTip(BackupSite, backupTip);
    m_form.setText(Mail, std::string(FeedbackAddress));
    m_form.setText(Ok, "&OK");
}

void AboutPresenter::click(ControlId id) {
    if (id == Site || id == LogoFrame || id == LogoStrip)
        m_shell.open(m_siteRoot);
    else if (id == BackupSite)
        m_shell.open(std::string(BackupSiteRoot));
    else if (id == Mail)
        m_shell.open(FeedbackMailText(FeedbackVariant::AboutBox, m_lang));
    else if (id == Ok)
        m_closeRequested = true;
}

void AboutPresenter::setLogoGeometry(int frameHeight, int stripHeight, int top) {
    m_frameHeight = frameHeight;
    m_stripHeight = stripHeight;
    m_logoTop = top;
}

void AboutPresenter::onScrollTick() {
    if (!m_timerEnabled) return;
    --m_logoTop;
    if (m_logoTop < -m_stripHeight) m_logoTop = m_frameHeight;
}

void AboutPresenter::onPointerOverLogo() {
    m_timerEnabled = false;
    m_logoBorder = true;
}

void AboutPresenter::onPointerOverWindow() {
    m_timerEnabled = true;
    m_logoBorder = false;
}

}  // namespace pt
