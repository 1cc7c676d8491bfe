#include "online/RankingPresenter.h"

#include "form/OnlineControls.h"
#include "online/RankingCode.h"
#include "texts/ViewTexts.h"

namespace pt {

using namespace ranking_controls;

RankingPresenter::RankingPresenter(Browser& browser, std::string rankingAddress, Language lang)
    : m_browser(browser), m_address(std::move(rankingAddress)) {
    m_form.setText(Window, "查看您的排名");
    m_form.setText(Instruction, "请将以下验证码复制到输入框中");
    m_form.setText(CodeCaption, "验证码：");
    m_form.setText(Close, RankingCloseText.in(lang));
}

void RankingPresenter::load(std::uint32_t installationId, const DynamicValue& points) {
    m_browser.navigate(m_address);
    m_code = RankingCode(installationId, points);
    m_form.setText(Code, m_code);
}

}  // namespace pt
