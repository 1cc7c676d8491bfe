#include "shutdown/PowerActions.h"

#include <optional>
#include <string>
#include <string_view>

namespace pt {

namespace {

struct Confirmation {
    const char* titleGb;
    const char* questionGb;
    const char* adviceGb;
    const char* titleB5;
    const char* questionB5;
    const char* adviceB5;
};

const Confirmation& ConfirmationOf(PowerAction action) {
    static const Confirmation logOff{
        "注销...", "你确定要注销吗?", "（请您保存好您正在编辑的文件后再按确定后注销）",
        "註銷...", "你確定要註銷嗎?", "（請您保存好您正在編輯的檔後再按確定後註銷）"};
    static const Confirmation powerOff{
        "关机...", "你确定要关机吗?", "（请您保存好您正在编辑的文件后再按确定后关机）",
        "關機...", "你確定要關機嗎?", "（請您保存好您正在編輯的檔後再按確定後關機）"};
    static const Confirmation reboot{"重启电脑...",
                                     "你确定要重新启动电脑吗?",
                                     "（请您保存好您正在编辑的文件后再按确定后重启电脑）",
                                     "重啟電腦...",
                                     "你確定要重新啟動電腦嗎?",
                                     "（請您保存好您正在編輯的檔後再按確定後重啟電腦）"};
    switch (action) {
        case PowerAction::LogOff:
            return logOff;
        case PowerAction::Reboot:
            return reboot;
        case PowerAction::PowerOff:
            break;
    }
    return powerOff;
}

// The reason in a few words of the window's language; the system's own text goes to the
// log, never into the box.
std::string_view ReasonText(PowerRefusal why, Language lang) {
    switch (why) {
        case PowerRefusal::NotAuthorized:
            return TraditionalUnlessSimplified(lang, "没有权限", "沒有權限");
        case PowerRefusal::NoService:
            return TraditionalUnlessSimplified(lang, "找不到系统服务", "找不到系統服務");
        case PowerRefusal::NoAnswer:
            return TraditionalUnlessSimplified(lang, "系统没有回应", "系統沒有回應");
        case PowerRefusal::Denied:
            break;
    }
    return TraditionalUnlessSimplified(lang, "系统拒绝了请求", "系統拒絕了請求");
}

// What the user reads when the system turned the request down.
std::string RefusalText(PowerAction action, Language lang, PowerRefusal why) {
    std::string text;
    switch (action) {
        case PowerAction::LogOff:
            text = TraditionalUnlessSimplified(lang, "系统拒绝了注销请求，您没有被注销。",
                                               "系統拒絕了註銷請求，您沒有被註銷。");
            break;
        case PowerAction::Reboot:
            text = TraditionalUnlessSimplified(lang, "系统拒绝了重启请求，电脑没有重新启动。",
                                               "系統拒絕了重啟請求，電腦沒有重新啟動。");
            break;
        case PowerAction::PowerOff:
            text = TraditionalUnlessSimplified(lang, "系统拒绝了关机请求，电脑没有关闭。",
                                               "系統拒絕了關機請求，電腦沒有關閉。");
            break;
    }
    return text + "\r\n" + std::string(TraditionalUnlessSimplified(lang, "原因：", "原因：")) +
           std::string(ReasonText(why, lang));
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
        const Confirmation& c = ConfirmationOf(action);
        const std::string text =
            std::string(TraditionalUnlessSimplified(m_lang, c.questionGb, c.questionB5)) + "\r\n" +
            std::string(TraditionalUnlessSimplified(m_lang, c.adviceGb, c.adviceB5));
        answer = m_messages.show(
            text, std::string(TraditionalUnlessSimplified(m_lang, c.titleGb, c.titleB5)),
            MsgButtons::OkCancel, MsgIcon::Question, MsgDefault::Second);
    }
    if (answer != MsgAnswer::Ok) return Outcome::Cancelled;
    return perform(action);
}

PowerActions::Outcome PowerActions::powerOffAsScheduled() {
    if (m_ended || busy()) return Outcome::Cancelled;
    if (m_testMode) {
        m_messages.notify("您的电脑即将关闭", "Pathtally", MsgIcon::None);
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
                      std::string(TraditionalUnlessSimplified(m_lang, "错误提示", "錯誤提示")),
                      MsgIcon::Stop);
    return Outcome::Refused;
}

}  // namespace pt
