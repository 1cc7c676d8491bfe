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
    m_model.setUptime(IntPart(static_cast<double>(m_clock.millisecondsSinceBoot() / 1000)));
    m_form.setText(main_controls::Uptime, FormatUseTime(m_model.uptime()));

    m_model.countUseSecond();
    const std::string today = FormatUseTime(m_model.todayUseTime());
    m_form.setText(main_controls::TodayUseTime, today);
    m_form.setText(main_controls::TotalUseTime, FormatUseTime(m_model.totals().useTime));

    // Points on every tick but the one that completes a whole minute of total use.
    if (!IsMultipleOf(m_model.totals().useTime, 60)) ShowPointsAndLevel(m_model, m_form, m_lang);

    // The save on the 10th, 20th, 30th ... tick of the run.
    if (IsMultipleOf(m_model.todayUseTime(), 10)) saveAll();

    m_form.setText(main_controls::DatePanel, m_clock.generalDate() + " " + m_clock.weekdayName());
    m_form.setText(main_controls::CountsPanel, std::to_string(m_model.todayClicks().all));
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
    const LifetimeTotals& totals = m_model.totals();
    const ClickCounts& c = totals.clicks;
    const RunRecords& records = m_model.records();
    {
        SettingsBatch batch(m_store);
        const std::string date = StoredToday(m_clock);

        WriteBoth(m_store, value::AllMoveWritten, NumberToText(IntPart(totals.travel)));

        // Travel record: the whole pixels as a plain number, never in exponent form.
        if (m_model.todayTravel() > records.travel) {
            WriteSetting(m_store, MainKey, value::MaxMove,
                         NumberToText(IntPart(m_model.todayTravel())));
            WriteSetting(m_store, MainKey, value::MaxMove_Date, date);
            m_form.setToolTip(main_controls::TravelRecord,
                              MoveRecordTip(lang, ShownDate(m_clock, date)));
        }

        if (m_model.todayUseTime() > records.useTime) {
            WriteSetting(m_store, MainKey, value::MaxUseTime,
                         NumberToText(IntPart(m_model.todayUseTime())));
            WriteSetting(m_store, MainKey, value::MaxUseTime_Date, date);
            m_form.setToolTip(main_controls::UseTimeRecord,
                              UseTimeRecordTip(lang, ShownDate(m_clock, date)));
        }

        WriteBoth(m_store, value::AllUseTime, NumberToText(totals.useTime));

        WriteBoth(m_store, value::leftClick, std::to_string(c.left));
        WriteBoth(m_store, value::midClick, std::to_string(c.middle));
        WriteBoth(m_store, value::rightClick, std::to_string(c.right));
        WriteBoth(m_store, value::totalClick, std::to_string(c.all));

        if (m_model.todayClicks().all > records.clicks) {
            const std::string count = std::to_string(m_model.todayClicks().all);
            WriteSetting(m_store, MainKey, value::MaxTotalClick, count);
            WriteSetting(m_store, MainKey, value::MaxTotalClickDate, date);
            m_form.setText(main_controls::ClickRecord, ClickRecordText(lang, count));
            m_form.setToolTip(main_controls::ClickRecord,
                              ClickRecordTip(lang, ShownDate(m_clock, date)));
        }

        WriteBoth(m_store, value::KeyDownAll, totals.keys.toText());
        if (m_days) m_days->write();
    }
    if (m_days) m_days->saved(m_store.lastBatchSaved());
    m_dataFile.save(RecordOf(m_model, m_computerName, StoredTimeStamp(m_clock), m_startDate));
}

}  // namespace pt
