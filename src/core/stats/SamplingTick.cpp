#include "core/stats/SamplingTick.h"

#include <string>

#include "core/form/MainControls.h"
#include "core/stats/Formatting.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {
namespace {

std::string Signed(std::int32_t v) {
    // Appended, not "literal" + std::string, which GCC 12 flags (-Wrestrict) at -O3.
    std::string text = v < 0 ? "" : " ";
    text += std::to_string(v);
    return text;
}

}  // namespace

std::string PositionText(std::int32_t x, std::int32_t y) {
    std::string text = "(";
    text += Signed(x);
    text += ',';
    text += Signed(y);
    text += ')';
    return text;
}

SamplingTick::SamplingTick(StatisticsModel& model, FormModel& form, CursorSource& cursor,
                           const NumberFormat& numberFormat, Language lang,
                           const InputAccess* access)
    : m_model(model),
      m_form(form),
      m_cursor(cursor),
      m_numberFormat(numberFormat),
      m_lang(lang),
      m_access(access),
      m_position(form.slot(main_controls::Position)),
      m_todayTravel(form.slot(main_controls::TodayTravel)),
      m_totalTravel(form.slot(main_controls::TotalTravel)),
      m_travelPanel(form.slot(main_controls::TravelPanel)),
      m_countsPanel(form.slot(main_controls::CountsPanel)) {
    using namespace main_controls;
    const ControlId todayCounts[4] = {TodayClicks, TodayLeftClicks, TodayMiddleClicks,
                                      TodayRightClicks};
    const ControlId totalCounts[4] = {TotalClicks, TotalLeftClicks, TotalMiddleClicks,
                                      TotalRightClicks};
    for (size_t i = 0; i < 4; ++i) {
        m_todayCounts[i] = form.slot(todayCounts[i]);
        m_totalCounts[i] = form.slot(totalCounts[i]);
    }
    for (const WindowText& w : ClickLineWords())
        m_words.emplace_back(form.slot(w.control), w.text.in(lang));
}

void SamplingTick::tick() {
    // A failed read adds nothing: the last position stands.
    if (auto reading = m_cursor.take()) {
        m_model.addTravel(reading->x, reading->y, reading->travel);
        m_samples += reading->samples;
    }
    const bool measured = inputMeasured();
    const bool positionKnown = !m_access || m_access->pointerPositionKnown();
    m_form.setText(m_position, positionKnown
                                   ? PositionText(m_model.x(), m_model.y())
                                   : std::string(main_texts::PositionUnavailable.in(m_lang)));
    const std::string metres = measured ? MetresText(m_model.todayTravel(), m_numberFormat)
                                        : std::string(main_texts::NotMeasured.in(m_lang));
    m_form.setText(m_todayTravel, metres);
    m_form.setText(m_travelPanel, metres);
    showCounts();
    m_form.setText(m_totalTravel, KilometresText(m_model.totals().travel, m_numberFormat));
    showClickLines(measured);
}

void SamplingTick::showCounts() {
    m_form.setText(m_countsPanel, inputMeasured()
                                      ? std::to_string(m_model.todayClicks().all) + "/" +
                                            m_model.todayKeys().toText()
                                      : std::string(main_texts::NotMeasured.in(m_lang)));
}

void SamplingTick::showClickLines(bool measured) {
    const bool b5 = m_lang == Language::Traditional;
    for (const auto& [id, word] : m_words) m_form.setText(id, word);

    const ClickCounts& t = m_model.todayClicks();
    const ClickCounts& c = m_model.totals().clicks;
    const std::int32_t today[4] = {t.all, t.left, t.middle, t.right};
    const std::int32_t total[4] = {c.all, c.left, c.middle, c.right};
    for (int i = 0; i < 4; ++i) {
        if (measured)
            m_form.setText(m_todayCounts[i], std::to_string(today[i]));
        else
            m_form.setText(
                m_todayCounts[i],
                (i == 0 ? main_texts::NotMeasured : main_texts::NotMeasuredMark).in(m_lang));
        m_form.setText(m_totalCounts[i], FormatBigCount(total[i], m_lang));
        // The exact count as tooltip, in GB mode only (B5 leaves the tooltips alone).
        if (!b5) m_form.setToolTip(m_totalCounts[i], std::to_string(total[i]));
    }
}

}  // namespace pt
