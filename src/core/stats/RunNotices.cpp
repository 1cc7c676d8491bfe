#include "core/stats/RunNotices.h"

#include "core/persistence/ValueNames.h"
#include "core/stats/Formatting.h"
#include "core/stats/NumberText.h"
#include "core/stats/Points.h"
#include "core/texts/NoticeTexts.h"
#include "core/texts/ProgramName.h"

namespace pt {

namespace {

std::string Trimmed(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

RunNotices::RunNotices(const StatisticsModel& model, SettingsStore& store,
                       DesktopNotifier& notifier, const NumberFormat& numberFormat, Language lang,
                       bool testMode)
    : m_model(model),
      m_store(store),
      m_notifier(notifier),
      m_numberFormat(numberFormat),
      m_lang(lang),
      m_testMode(testMode),
      m_level(ComputeLevel(model).level) {}

bool RunNotices::enabled() {
    return !m_testMode && ReadTrimmedSetting(m_store, MainKey, value::Notify) != "0";
}

void RunNotices::tell(const std::string& text) {
    if (enabled()) m_notifier.notify(std::string(ProgramName), text);
}

void RunNotices::check() {
    using namespace notice_texts;
    const Language lang = m_lang;
    // A best of 0 is no best yet: the first run beats nothing.
    const RunRecords& records = m_model.records();
    if (!m_travelTold && records.travel > 0 && m_model.todayTravel() > records.travel) {
        m_travelTold = true;
        tell(std::string(TravelRecord.in(lang)) +
             Trimmed(MetresText(m_model.todayTravel(), m_numberFormat)) +
             std::string(TravelRecordAfter.in(lang)));
    }
    if (!m_useTimeTold && records.useTime > 0 && m_model.todayUseTime() > records.useTime) {
        m_useTimeTold = true;
        tell(std::string(UseTimeRecord.in(lang)) + FormatUseTime(m_model.todayUseTime()) +
             std::string(TravelRecordAfter.in(lang)));
    }
    if (!m_clicksTold && records.clicks > 0 && m_model.todayClicks().all > records.clicks) {
        m_clicksTold = true;
        tell(std::string(ClicksRecord.in(lang)) + std::to_string(m_model.todayClicks().all) +
             std::string(ClicksRecordAfter.in(lang)));
    }
    const double level = ComputeLevel(m_model).level;
    if (level > m_level) {
        m_level = level;
        tell(std::string(NewLevelBefore.in(lang)) + NumberToText(level) +
             std::string(NewLevelAfter.in(lang)));
    }
}

}  // namespace pt
