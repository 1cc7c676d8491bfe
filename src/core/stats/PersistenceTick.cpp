#include "core/stats/PersistenceTick.h"

#include <cmath>

#include "core/form/MainControls.h"
#include "core/persistence/ValueNames.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/Formatting.h"
#include "core/stats/NumberText.h"
#include "core/stats/Points.h"
#include "core/stats/StoredDate.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {

namespace {

// Writes one total to the main key, then the same text to the mirror key.
void WriteBoth(SettingsStore& store, std::string_view name, const std::string& text) {
    WriteSetting(store, MainKey, name, text);
    WriteSetting(store, MirrorKey, name, text);
}

bool IsMultipleOf(double value, double step) {
    return std::fmod(RoundHalfEven(value), step) == 0;
}

}  // namespace

PersistenceTick::PersistenceTick(StatisticsModel& model, FormModel& form, SettingsStore& store,
                                 const Clock& clock, Language lang, std::filesystem::path dataFile,
                                 std::string computerName, std::string startDate,
                                 DayAccounting* days, std::function<void()> afterTick)
    : m_model(model),
      m_form(form),
      m_store(store),
      m_clock(clock),
      m_lang(lang),
      m_computerName(std::move(computerName)),
      m_startDate(std::move(startDate)),
      m_dataFile(std::move(dataFile)),
      m_days(days),
      m_afterTick(std::move(afterTick)) {}

void PersistenceTick::tick() {
    // A new day: what was counted before it is saved to the old day first.
    if (m_days && m_days->onTick()) saveAll();

    // Uptime from the 64-bit boot clock: no wrap after 49.7 days.
    m_model.uptime = IntPart(static_cast<double>(m_clock.millisecondsSinceBoot() / 1000));
    m_form.setText(main_controls::Uptime, FormatUseTime(m_model.uptime));

    m_model.todayUseTime += 1;
    m_model.totalUseTime += 1;
    const std::string today = FormatUseTime(m_model.todayUseTime);
    m_form.setText(main_controls::TodayUseTime, today);
    m_form.setText(main_controls::TotalUseTime, FormatUseTime(m_model.totalUseTime));

    // Points on every tick but the one that completes a whole minute of total use.
    if (!IsMultipleOf(m_model.totalUseTime, 60)) ShowPointsAndLevel(m_model, m_form, m_lang);

    // The save on the 10th, 20th, 30th ... tick of the run.
    if (IsMultipleOf(m_model.todayUseTime, 10)) saveAll();

    m_form.setText(main_controls::DatePanel, m_clock.generalDate() + " " + m_clock.weekdayName());
    m_form.setText(main_controls::CountsPanel, std::to_string(m_model.clicks.todayTotalClick));
    m_form.setText(main_controls::UseTimePanel, today);

    if (m_afterTick) m_afterTick();
}

void PersistenceTick::saveAll() {
    if (m_joinStore && m_store.readable()) {
        const std::function<void()> join = std::move(m_joinStore);
        m_joinStore = nullptr;
        join();
    }
    const Language lang = m_lang;
    const ClickCounters& c = m_model.clicks;
    {
        SettingsBatch batch(m_store);
        const std::string date = StoredToday(m_clock);

        WriteBoth(m_store, value::AllMoveWritten, NumberToText(IntPart(m_model.totalTravel)));

        // Travel record: the whole pixels as a plain number, never in exponent form.
        if (m_model.todayTravel > m_model.recordTravel) {
            WriteSetting(m_store, MainKey, value::MaxMove,
                         NumberToText(IntPart(m_model.todayTravel)));
            WriteSetting(m_store, MainKey, value::MaxMove_Date, date);
            m_form.setToolTip(main_controls::TravelRecord,
                              MoveRecordTip(lang, ShownDate(m_clock, date)));
        }

        if (m_model.todayUseTime > m_model.recordUseTime) {
            WriteSetting(m_store, MainKey, value::MaxUseTime,
                         NumberToText(IntPart(m_model.todayUseTime)));
            WriteSetting(m_store, MainKey, value::MaxUseTime_Date, date);
            m_form.setToolTip(main_controls::UseTimeRecord,
                              UseTimeRecordTip(lang, ShownDate(m_clock, date)));
        }

        WriteBoth(m_store, value::AllUseTime, NumberToText(m_model.totalUseTime));

        WriteBoth(m_store, value::leftClick, std::to_string(c.leftClick));
        WriteBoth(m_store, value::midClick, std::to_string(c.midClick));
        WriteBoth(m_store, value::rightClick, std::to_string(c.rightClick));
        WriteBoth(m_store, value::totalClick, std::to_string(c.totalClick));

        if (c.todayTotalClick > m_model.recordClicks) {
            const std::string count = std::to_string(c.todayTotalClick);
            WriteSetting(m_store, MainKey, value::MaxTotalClick, count);
            WriteSetting(m_store, MainKey, value::MaxTotalClickDate, date);
            m_form.setText(main_controls::ClickRecord, ClickRecordText(lang, count));
            m_form.setToolTip(main_controls::ClickRecord,
                              ClickRecordTip(lang, ShownDate(m_clock, date)));
        }

        WriteBoth(m_store, value::KeyDownAll, m_model.totalKeys.toText());
        if (m_days) m_days->write();
    }
    if (m_days) m_days->saved(m_store.lastBatchSaved());
    m_dataFile.save(RecordOf(m_model, m_computerName, StoredTimeStamp(m_clock), m_startDate));
}

}  // namespace pt
