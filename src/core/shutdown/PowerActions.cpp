#include "core/shutdown/PowerActions.h"

#include <optional>
#include <string>
#include <string_view>

#include "core/texts/ProgramName.h"
#include "core/texts/ShutdownTexts.h"

namespace pt {

namespace {

const shutdown_texts::Confirmation& ConfirmationOf(PowerAction action) {
    switch (action) {
        case PowerAction::LogOff:
            return shutdown_texts::ConfirmLogOff;
        case PowerAction::Reboot:
            return shutdown_texts::ConfirmReboot;
        case PowerAction::PowerOff:
            break;
    }
    return shutdown_texts::ConfirmPowerOff;
}

// The reason in a few words of the window's language; the system's own text goes to the
// log, never into the box.
const Text& ReasonText(PowerRefusal why) {
    switch (why) {
        case PowerRefusal::NotAuthorized:
            return shutdown_texts::NotAuthorized;
        case PowerRefusal::NoService:
            return shutdown_texts::NoService;
        case PowerRefusal::NoAnswer:
            return shutdown_texts::NoAnswer;
        case PowerRefusal::Denied:
            break;
    }
    return shutdown_texts::Denied;
}

const Text& RefusedText(PowerAction action) {
    switch (action) {
        case PowerAction::LogOff:
            return shutdown_texts::LogOffRefused;
        case PowerAction::Reboot:
            return shutdown_texts::RebootRefused;
        case PowerAction::PowerOff:
            break;
    }
    return shutdown_texts::PowerOffRefused;
}

// What the user reads when the system turned the request down.
std::string RefusalText(PowerAction action, Language lang, PowerRefusal why) {
    return std::string(RefusedText(action).in(lang)) + "\r\n" +
           std::string(shutdown_texts::Reason.in(lang)) + std::string(ReasonText(why).in(lang));
}

// Clears a flag when the scope ends, also on an exception from a callback.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

}  // namespace

PowerActions::PowerActions(MessageBox& messages, Power& power, Language lang, bool testMode,
                           std::function<void()> saveAll, std::function<void()> quit)
    : m_messages(messages),
      m_power(power),
      m_lang(lang),
      m_testMode(testMode),
      m_saveAll(std::move(saveAll)),
      m_quit(std::move(quit)) {}

PowerActions::~PowerActions() {
    m_self.reset();
}

PowerActions::Outcome PowerActions::confirmed(PowerAction action) {
    if (m_ended || busy()) return Outcome::Cancelled;
    MsgAnswer answer = MsgAnswer::Cancel;
    {
        BusyScope asking(m_asking);
        const shutdown_texts::Confirmation& c = ConfirmationOf(action);
        const std::string text =
            std::string(c.question.in(m_lang)) + "\r\n" + std::string(c.advice.in(m_lang));
        answer = m_messages.show(text, std::string(c.title.in(m_lang)), MsgButtons::OkCancel,
                                 MsgIcon::Question, MsgDefault::Second);
    }
    if (answer != MsgAnswer::Ok) return Outcome::Cancelled;
    return perform(action);
}

PowerActions::Outcome PowerActions::powerOffAsScheduled() {
    if (m_ended || busy()) return Outcome::Cancelled;
    if (m_testMode) {
        m_messages.notify(std::string(shutdown_texts::PowerOffSoon.in(m_lang)),
                          std::string(ProgramName), MsgIcon::None);
        return Outcome::TestMessage;
    }
    return perform(PowerAction::PowerOff);
}

PowerActions::Outcome PowerActions::perform(PowerAction action) {
    if (m_needsPowerPrivilege == 1) m_power.enablePrivilege();
    if (m_saveAll) m_saveAll();
    m_waiting = true;
    // The answer may come before request returns (a platform that knows it at once) or
    // any time later; only in the first case is it this call's outcome.
    struct Call {
        bool returned = false;
        std::optional<Outcome> outcome;
    };
    auto call = std::make_shared<Call>();
    std::weak_ptr<PowerActions*> self = m_self;
    m_power.request(action, [self, action, call](const PowerResult& result) {
        const auto alive = self.lock();
        if (!alive) return;
        const Outcome outcome = (*alive)->answered(action, result);
        if (!call->returned) call->outcome = outcome;
    });
    call->returned = true;
    return call->outcome.value_or(Outcome::Requested);
}

PowerActions::Outcome PowerActions::answered(PowerAction action, const PowerResult& result) {
    m_waiting = false;
    if (result.accepted) {
        m_ended = true;
        if (m_quit) m_quit();
        return Outcome::Accepted;
    }
    m_messages.notify(RefusalText(action, m_lang, result.why),
                      std::string(shutdown_texts::ErrorTitle.in(m_lang)), MsgIcon::Stop);
    return Outcome::Refused;
}

}  // namespace pt
