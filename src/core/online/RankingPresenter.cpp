#include "core/online/RankingPresenter.h"

#include "core/form/OnlineControls.h"
#include "core/online/RankingCode.h"
#include "core/texts/OnlineTexts.h"

namespace pt {

using namespace ranking_controls;

RankingPresenter::RankingPresenter(Browser& browser, std::string rankingAddress, Language lang)
    : m_browser(browser), m_address(std::move(rankingAddress)) {
    m_form.setText(Window, ranking_texts::Window.in(lang));
    m_form.setText(Instruction, ranking_texts::Instruction.in(lang));
    m_form.setText(CodeCaption, ranking_texts::CodeCaption.in(lang));
    m_form.setText(Close, ranking_texts::Close.in(lang));
}

void RankingPresenter::load(std::uint32_t installationId, const DynamicValue& points) {
    m_browser.navigate(m_address);
    m_code = RankingCode(installationId, points);
    m_form.setText(Code, m_code);
}

}  // namespace pt
