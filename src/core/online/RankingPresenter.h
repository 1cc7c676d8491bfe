#pragma once

#include <cstdint>
#include <string>

#include "core/form/FormModel.h"
#include "core/form/OnlineControls.h"
#include "core/ports/Browser.h"
#include "core/stats/DynamicValue.h"
#include "core/texts/Language.h"

namespace pt {

// The ranking window: the ranking page beside the code the user pastes into it.
// Controls: "FormPaiMing" (text = title), Label1, Label2, Text1 (the code), WebBrowser1,
// Command1 (closes the window).
class RankingPresenter {
public:
    // The page's texts exist in Simplified only; the close button follows `lang`.
    RankingPresenter(Browser& browser, std::string rankingAddress,
                     Language lang = Language::Simplified);

    FormModel& form() { return m_form; }
    // Navigates and computes the code once; later changes of the points are not followed.
    void load(std::uint32_t installationId, const DynamicValue& points);
    void close() { m_close = true; }

    const std::string& code() const { return m_code; }
    bool closeRequested() const { return m_close; }

private:
    Browser& m_browser;
    std::string m_address;
    FormModel m_form{ranking_controls::All};
    std::string m_code;
    bool m_close = false;
};

}  // namespace pt
