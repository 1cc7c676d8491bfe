#include "shutdown/PowerActions.h"

#include <string>

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

// What the user reads when the system turned the request down.
std::string RefusalText(PowerAction action, Wlang lang, const std::string& reason) {
    std::string text;
    switch (action) {
        case PowerAction::LogOff:
            text = GbTest(lang, "系统拒绝了注销请求，您没有被注销。",
                          "系統拒絕了註銷請求，您沒有被註銷。");
            break;
        case PowerAction::Reboot:
            text = GbTest(lang, "系统拒绝了重启请求，电脑没有重新启动。",
                          "系統拒絕了重啟請求，電腦沒有重新啟動。");
            break;
        case PowerAction::PowerOff:
            text = GbTest(lang, "系统拒绝了关机请求，电脑没有关闭。",
                          "系統拒絕了關機請求，電腦沒有關閉。");
            break;
    }
    if (!reason.empty()) text += "\r\n" + std::string(GbTest(lang, "原因：", "原因：")) + reason;
    return text;
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

PowerActions::PowerActions(MessageBox& messages, Power& power, Wlang lang, bool testMode,
                           std::function<void()> saveAll, std::function<void()> quit)
    : m_messages(messages),
      m_power(power),
      m_lang(lang),
      m_testMode(testMode),
      m_saveAll(std::move(saveAll)),
      m_quit(std::move(quit)) {}

PowerActions::Outcome PowerActions::confirmed(PowerAction action) {
    if (m_ended || m_busy) return Outcome::Cancelled;
    BusyScope busy(m_busy);
    const Confirmation& c = ConfirmationOf(action);
    const std::string text = std::string(GbTest(m_lang, c.questionGb, c.questionB5)) + "\r\n" +
                             std::string(GbTest(m_lang, c.adviceGb, c.adviceB5));
    const MsgAnswer answer =
        m_messages.show(text, std::string(GbTest(m_lang, c.titleGb, c.titleB5)),
                        MsgButtons::OkCancel, MsgIcon::Question, MsgDefault::Second);
    if (answer != MsgAnswer::Ok) return Outcome::Cancelled;
    return perform(action);
}

PowerActions::Outcome PowerActions::ShutComputer() {
    if (m_ended || m_busy) return Outcome::Cancelled;
    BusyScope busy(m_busy);
    if (m_testMode) {
        m_messages.show("您的电脑即将关闭", "Pathtally", MsgButtons::Ok, MsgIcon::None,
                        MsgDefault::First);
        return Outcome::TestMessage;
    }
    return perform(PowerAction::PowerOff);
}

PowerActions::Outcome PowerActions::perform(PowerAction action) {
    if (m_whichWindows32 == 1) m_power.enablePrivilege();
    if (m_saveAll) m_saveAll();
    const PowerResult result = m_power.request(action);
    if (result.accepted) {
        m_ended = true;
        if (m_quit) m_quit();
        return Outcome::Accepted;
    }
    m_messages.show(RefusalText(action, m_lang, result.reason),
                    std::string(GbTest(m_lang, "错误提示", "錯誤提示")), MsgButtons::Ok,
                    MsgIcon::Stop, MsgDefault::First);
    return Outcome::Refused;
}

}  // namespace pt
