#include "shell/ClearAllPresenter.h"

#include "form/DialogControls.h"
#include "persistence/ValueNames.h"
#include "stats/DayAccounting.h"
#include "stats/StoredDate.h"

namespace pt {

using namespace clear_all_controls;

ClearAllPresenter::ClearAllPresenter(StatisticsModel& model, SettingsStore& store, Clock& clock,
                                     MessageBox& messages, Language lang, DayAccounting* days,
                                     std::function<void()> takeMeasured)
    : m_model(model),
      m_store(store),
      m_clock(clock),
      m_messages(messages),
      m_lang(lang),
      m_days(days),
      m_takeMeasured(std::move(takeMeasured)) {
    fillForm();
}

void ClearAllPresenter::fillForm() {
    // The dialog itself turns Traditional only for "B5" ...
    m_form.setText(Window, SimplifiedUnlessTraditional(m_lang, "数据重置", "數據重置"));
    m_form.setText(Warning, SimplifiedUnlessTraditional(
                                m_lang,
                                "请注意：如果您想将所有的统计数据重置（即所有的统计数据归零），"
                                "请按[确定]，此操作不可逆，请谨慎考虑！",
                                "請注意：如果您想將所有的統計資料重置（即所有的統計資料歸零），"
                                "請按[確定]，此操作不可逆，請謹慎考慮！"));
    m_form.setText(Ok, SimplifiedUnlessTraditional(m_lang, "确定(&O)", "確定"));
    m_form.setText(Cancel, SimplifiedUnlessTraditional(m_lang, "取消(&C)", "取消"));
    m_form.setText(AlsoClearDays, SimplifiedUnlessTraditional(m_lang, "同时清除每日统计记录",
                                                              "同時清除每日統計記錄"));
    m_form.setChecked(AlsoClearDays, false);
    m_form.setVisible(AlsoClearDays, m_days != nullptr);
}

void ClearAllPresenter::click(ControlId id) {
    if (id == Ok)
        confirmReset();
    else if (id == Cancel)
        cancel();
}

void ClearAllPresenter::confirmReset() {
    if (m_closeRequested) return;
    // ... while its message boxes stay Simplified only for "GB".
    const MsgAnswer answer = m_messages.show(
        std::string(TraditionalUnlessSimplified(m_lang, "请再次确认是否要将所有的统计数据归零？",
                                                "請再次確認是否要將所有的統計資料歸零？")),
        std::string(TraditionalUnlessSimplified(m_lang, "数据重置确认(此操作不可逆)",
                                                "資料重置確認(此操作不可逆)")),
        MsgButtons::YesNo, MsgIcon::None, MsgDefault::First);
    if (answer == MsgAnswer::Yes) {
        reset();
        m_messages.show(std::string(TraditionalUnlessSimplified(m_lang, "所有的统计数据已归零",
                                                                "所有的統計資料已歸零")),
                        ApplicationTitle, MsgButtons::Ok, MsgIcon::None, MsgDefault::First);
    }
    m_closeRequested = true;
}

void ClearAllPresenter::reset() {
    // What was measured up to the confirmation is counted now and cleared with the rest.
    if (m_takeMeasured) m_takeMeasured();
    // What was counted before the reset still belongs to its day.
    if (m_days) m_days->beforeReset();
    ClickCounters& c = m_model.clicks;
    c.todayLeftClick = c.todayMidClick = c.todayRightClick = c.todayTotalClick = 0;
    c.leftClick = c.midClick = c.rightClick = c.totalClick = 0;
    m_model.recordClicks = 0;
    m_model.recordClicksDate = DynamicValue::Text("");

    // The stored click record starts again from today, while the date in memory stays
    // empty until a new record is set.
    {
        SettingsBatch batch(m_store);
        WriteSetting(m_store, MainKey, value::MaxTotalClick, "0");
        WriteSetting(m_store, MainKey, value::MaxTotalClickDate, StoredToday(m_clock));
    }

    m_model.todayUseTime = 0;
    m_model.totalUseTime = 0;
    m_model.recordUseTime = 0;
    m_model.todayTravel = 0;
    m_model.totalTravel = 0;
    m_model.recordTravel = 0;

    if (m_days) {
        SettingsBatch batch(m_store);
        m_days->afterReset(m_form.get(AlsoClearDays).checked);
    }
}

}  // namespace pt
