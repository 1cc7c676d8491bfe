#pragma once

#include <string>

#include "core/form/FormModel.h"
#include "core/form/OnlineControls.h"
#include "core/ports/Browser.h"
#include "core/texts/Language.h"

namespace pt {

// The automatic update check: loads the update page in a hidden browser, polls its title
// every 200 ms and compares the announced version with the running one.
//
// Controls: the window itself ("FormAutoUpdate": text = title, visible), Label1 (the
// spinner and the result), WebBrowser1 (visible once the page is recognised) and Timer1
// (enabled while the check runs).
//
// Asked: the user started the check; the window shows from the 30th tick whatever the
// outcome and closes itself when the site stays unreachable after tick 60.
// Unasked: the check runs on its own; the window appears only when a newer version is
// found and closes itself unseen otherwise, so an unreachable site bothers nobody.
class AutoUpdatePresenter {
public:
    enum class Mode { Asked, Unasked };
    enum class Outcome { Pending, Newer, Current, NotReachable };
    static constexpr int TickMilliseconds = 200;
    static constexpr int HiddenTicks = 29;     // invisible up to this tick
    static constexpr int FirstTitleTick = 31;  // the title is read from this tick on
    static constexpr int LastTick = 60;        // after it a missing title means unreachable

    AutoUpdatePresenter(Browser& browser, Language lang, std::string versionText,
                        std::string updateAddress, Mode mode);

    FormModel& form() { return m_form; }
    void load();
    void onTick();

    bool timerRunning() const { return m_form.get(auto_update_controls::Timer).enabled; }
    bool closeRequested() const { return m_close; }
    Outcome outcome() const { return m_outcome; }
    int progressCount() const { return m_progressCount; }
    Mode mode() const { return m_mode; }

private:
    void finish(Outcome outcome);

    Browser& m_browser;
    Language m_lang;
    std::string m_versionText;
    std::string m_address;
    Mode m_mode;
    FormModel m_form{auto_update_controls::All};
    int m_progressCount = 0;
    Outcome m_outcome = Outcome::Pending;
    bool m_close = false;
};

}  // namespace pt
