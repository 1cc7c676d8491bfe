#pragma once

#include <string>

#include "core/form/DialogControls.h"
#include "core/form/FormModel.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/Shell.h"
#include "core/texts/Language.h"

namespace pt {

// What the About box shows about the running program.
struct AboutFacts {
    std::string versionText;  // "V1.0.1"
    std::string computerName;
    std::string userName;
};

// The About box: product and version, who is using it, links to the website, the backup
// website and the feedback mail, and the logo strip scrolling inside its frame.
// Controls: "FormAbout" (window title), Label1 (heading), Label2 (computer\user), Label8
// (mail link), Label9/Label10 (website), Label14 (version), Label17/Label18 (backup
// website), Picture1 (logo frame), Picture2 (logo strip), Command1 (close).
//
// Logo positions are in twips (15 to a pixel at 96 dpi); Timer1 ticks every 5 ms.
class AboutPresenter {
public:
    static constexpr int TimerIntervalMs = 5;

    AboutPresenter(SettingsStore& store, Shell& shell, Language lang, AboutFacts facts);

    FormModel& form() { return m_form; }

    void click(ControlId id);
    bool closeRequested() const { return m_closeRequested; }

    // The frame's and the strip's heights; the strip starts at its design position.
    void setLogoGeometry(int frameHeight, int stripHeight, int top = 0);
    int logoTop() const { return m_logoTop; }
    // One tick: the strip moves up one unit; once it has left the frame at the top it
    // enters again from the frame's bottom edge.
    void onScrollTick();
    // The pointer over the logo stops the scrolling and draws the frame's border; over
    // the rest of the box it scrolls on from where it stopped.
    void onPointerOverLogo();
    void onPointerOverWindow();
    bool timerEnabled() const { return m_timerEnabled; }
    bool logoBorder() const { return m_logoBorder; }

private:
    void fillForm();

    SettingsStore& m_store;
    Shell& m_shell;
    Language m_lang;
    AboutFacts m_facts;
    FormModel m_form{about_controls::All};
    std::string m_siteRoot;
    bool m_closeRequested = false;

    int m_frameHeight = 0;
    int m_stripHeight = 0;
    int m_logoTop = 0;
    bool m_timerEnabled = false;
    bool m_logoBorder = false;
};

}  // namespace pt
