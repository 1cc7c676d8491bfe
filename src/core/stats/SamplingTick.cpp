#include "stats/SamplingTick.h"

#include <string>

#include "stats/Formatting.h"
#include "texts/InputAccessTexts.h"
#include "texts/MainWindowTexts.h"

namespace pt {
namespace {

std::string Signed(std::int32_t v) {
    // Appended, not "literal" + std::string, which GCC 12 flags (-Wrestrict) at -O3.
    std::string text = v < 0 ? "" : " ";
    text += std::to_string(v);
    return text;
}

struct Word {
    std::string_view control, gb, b5;
};

// The fixed words of both click lines.
constexpr Word kClickWords[] = {
    {"Label26", "今日鼠标点击次数", "今日滑鼠點擊次數"},
    {"Label28", "次(其中", "次(其中"},
    {"Label29", "左", "左"},
    {"Label30", "键点击", "鍵點擊"},
    {"Label33", "次,", "次,"},
    {"Label34", "中", "中"},
    {"Label35", "键点击", "鍵點擊"},
    {"Label37", "次,", "次,"},
    {"Label38", "右", "右"},
    {"Label39", "键点击", "鍵點擊"},
    {"Label41", "次)", "次)"},
    {"Label24", "鼠标累计点击次数", "滑鼠累計點擊次數"},
    {"Label43", "次(其中", "次(其中"},
    {"Label44", "左", "左"},
    {"Label45", "键点击", "鍵點擊"},
    {"Label47", "次,", "次,"},
    {"Label48", "中", "中"},
    {"Label49", "键点击", "鍵點擊"},
    {"Label51", "次,", "次,"},
    {"Label52", "右", "右"},
    {"Label53", "键点击", "鍵點擊"},
    {"Label55", "次)", "次)"},
};

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
      m_label6(form.id("Label6")),
      m_label2(form.id("Label2")),
      m_label4(form.id("Label4")),
      m_panel2(form.id(PanelNames[1])),
      m_panel3(form.id(PanelNames[2])),
      m_todayCounts{form.id("Label27"), form.id("Label31"), form.id("Label36"), form.id("Label40")},
      m_totalCounts{form.id("Label42"), form.id("Label46"), form.id("Label50"),
                    form.id("Label54")} {
    for (const Word& w : kClickWords)
        m_words.emplace_back(form.id(w.control), lang == Language::Traditional ? w.b5 : w.gb);
}

void SamplingTick::tick() {
    // A failed read adds nothing: the last position stands.
    if (auto reading = m_cursor.take()) {
        m_model.currentX = reading->x;
        m_model.currentY = reading->y;
        m_model.todayTravel += reading->travel;
        m_model.totalTravel += reading->travel;
        m_model.lastY = m_model.currentY;
        m_model.lastX = m_model.currentX;
        m_samples += reading->samples;
    }
    const bool measured = !m_access || m_access->devicesReadable();
    const bool positionKnown = !m_access || m_access->pointerPositionKnown();
    m_form.setText(m_label6, positionKnown ? PositionText(m_model.currentX, m_model.currentY)
                                           : std::string(PositionUnavailableText(m_lang)));
    const std::string metres = measured ? MetresText(m_model.todayTravel, m_numberFormat)
                                        : std::string(NotMeasuredText(m_lang));
    m_form.setText(m_label2, metres);
    m_form.setText(m_panel2, metres);
    m_form.setText(m_panel3, measured ? std::to_string(m_model.clicks.todayTotalClick) + "/" +
                                            m_model.todayKeys.toText()
                                      : std::string(NotMeasuredText(m_lang)));
    m_form.setText(m_label4, KilometresText(m_model.totalTravel, m_numberFormat));
    showClickLines(measured);
}

void SamplingTick::showClickLines(bool measured) {
    const bool b5 = m_lang == Language::Traditional;
    for (const auto& [id, word] : m_words) m_form.setText(id, word);

    const ClickCounters& c = m_model.clicks;
    const std::int32_t today[4] = {c.todayTotalClick, c.todayLeftClick, c.todayMidClick,
                                   c.todayRightClick};
    const std::int32_t total[4] = {c.totalClick, c.leftClick, c.midClick, c.rightClick};
    for (int i = 0; i < 4; ++i) {
        if (measured)
            m_form.setText(m_todayCounts[i], std::to_string(today[i]));
        else
            m_form.setText(m_todayCounts[i], i == 0 ? NotMeasuredText(m_lang) : kNotMeasuredMark);
        m_form.setText(m_totalCounts[i], FormatBigCount(total[i], m_lang));
        // The exact count as tooltip, in GB mode only (B5 leaves the tooltips alone).
        if (!b5) m_form.setToolTip(m_totalCounts[i], std::to_string(total[i]));
    }
}

}  // namespace pt
