#include "core/shell/AboutPresenter.h"

#include "core/form/DialogControls.h"
#include "core/online/Site.h"
#include "core/shell/FeedbackMail.h"
#include "core/texts/DialogTexts.h"

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
    m_form.setText(Window, about_texts::Window.in(m_lang));
    m_form.setText(Version, std::string(about_texts::Version.in(m_lang)) + version);
    m_form.setText(VersionAndMaker, std::string(about_texts::VersionAndMaker.in(m_lang)) + version +
                                        std::string(about_texts::VersionMakerSpace.in(m_lang)) +
                                        std::string(MakerName));
    m_form.setText(ComputerAndUser, m_facts.computerName + "\\" + m_facts.userName);
    m_form.setText(SiteCaption, about_texts::SiteCaption.in(m_lang));
    m_form.setText(Site, m_siteRoot);
    m_form.setText(BackupSiteCaption, about_texts::BackupSiteCaption.in(m_lang));
    m_form.setText(BackupSite, std::string(BackupSiteRoot));
    const std::string_view backupTip = about_texts::BackupSiteTip.in(m_lang);
    m_form.setToolTip(BackupSiteCaption, backupTip);
    m_form.setToolTip(BackupSite, backupTip);
    m_form.setText(Mail, std::string(FeedbackAddress));
    m_form.setText(Ok, about_texts::Ok.in(m_lang));
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
