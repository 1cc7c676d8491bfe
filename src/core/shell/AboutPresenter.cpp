#include "shell/AboutPresenter.h"

#include "online/Site.h"
#include "shell/FeedbackMail.h"

namespace pt {

AboutPresenter::AboutPresenter(SettingsStore& store, Shell& shell, Language lang, AboutFacts facts)
    : m_store(store), m_shell(shell), m_lang(lang), m_facts(std::move(facts)) {
    fillForm();
}

void AboutPresenter::fillForm() {
    m_timerEnabled = true;
    m_logoBorder = false;
    m_siteRoot = SiteRoot(m_store);

    const std::string& version = m_facts.versionText;
    m_form.setText("FormAbout",
                   SimplifiedUnlessTraditional(m_lang, "关于 Pathtally", "關於 Pathtally"));
    m_form.setText("Label14", "版本:" + version);
    m_form.setText("Label1", "版本：" + version + "　" + std::string(MakerName));
    m_form.setText("Label2", m_facts.computerName + "\\" + m_facts.userName);
    m_form.setText("Label9", SimplifiedUnlessTraditional(m_lang, "官方网站：", "官方網站："));
    m_form.setText("Label10", m_siteRoot);
    m_form.setText("Label17", SimplifiedUnlessTraditional(m_lang, "备用网址:", "備用網址:"));
    m_form.setText("Label18", std::string(BackupSiteRoot));
    const std::string_view backupTip = SimplifiedUnlessTraditional(
        m_lang, "当上面的官方网站打不开时的备用网址", "當官方網站打不開時的備用網址");
    m_form.setToolTip("Label17", backupTip);
    m_form.setToolTip("Label18", backupTip);
    m_form.setText("Label8", std::string(FeedbackAddress));
    m_form.setText("Command1", "&OK");
}

void AboutPresenter::click(const std::string& name) {
    if (name == "Label10" || name == "Picture1" || name == "Picture2")
        m_shell.open(m_siteRoot);
    else if (name == "Label18")
        m_shell.open(std::string(BackupSiteRoot));
    else if (name == "Label8")
        m_shell.open(FeedbackMailText(FeedbackVariant::AboutBox, m_lang));
    else if (name == "Command1")
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
