#include "core/shell/ClearAllPresenter.h"

#include "core/form/DialogControls.h"
#include "core/persistence/ValueNames.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/StoredDate.h"
#include "core/texts/DialogTexts.h"
#include "core/texts/ProgramName.h"

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
    m_form.setText(Window, clear_all_texts::Window.in(m_lang));
    m_form.setText(Warning, clear_all_texts::Warning.in(m_lang));
    m_form.setText(Ok, clear_all_texts::Ok.in(m_lang));
    m_form.setText(Cancel, clear_all_texts::Cancel.in(m_lang));
    m_form.setText(AlsoClearDays, clear_all_texts::AlsoClearDays.in(m_lang));
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
    const MsgAnswer answer = m_messages.show(std::string(clear_all_texts::Confirm.in(m_lang)),
                                             std::string(clear_all_texts::ConfirmTitle.in(m_lang)),
                                             MsgButtons::YesNo, MsgIcon::None, MsgDefault::First);
    if (answer == MsgAnswer::Yes) {
        reset();
        m_messages.show(std::string(clear_all_texts::Done.in(m_lang)), std::string(ProgramName),
                        MsgButtons::Ok, MsgIcon::None, MsgDefault::First);
    }
    m_closeRequested = true;
}

void StoreResetClickRecord(SettingsStore& store, const Clock& clock) {
    SettingsBatch batch(store);
    WriteSetting(store, MainKey, value::MaxTotalClick, "0");
    WriteSetting(store, MainKey, value::MaxTotalClickDate, StoredToday(clock));
}

void ClearAllPresenter::reset() {
    // What was measured up to the confirmation is counted now and cleared with the rest.
    if (m_takeMeasured) m_takeMeasured();
    // What was counted before the reset still belongs to its day.
    if (m_days) m_days->beforeReset();
    m_model.reset();

    StoreResetClickRecord(m_store, m_clock);

    if (m_days) {
        SettingsBatch batch(m_store);
        m_days->afterReset(m_form.get(AlsoClearDays).checked);
    }
}

}  // namespace pt
