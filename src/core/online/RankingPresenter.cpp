#include "online/RankingPresenter.h"

#include "online/RankingCode.h"
#include "texts/ViewTexts.h"

namespace pt {

RankingPresenter::RankingPresenter(Browser& browser, std::string rankingAddress, Language lang)
    : m_browser(browser), m_address(std::move(rankingAddress)) {
    m_form.setText("FormPaiMing", "查看您的排名");
    m_form.setText("Label1", "请将以下验证码复制到输入框中");
    m_form.setText("Label2", "验证码：");
    m_form.setText("Command1", RankingCloseText.in(lang));
}

void RankingPresenter::load(std::uint32_t installationId, const DynamicValue& points) {
    m_browser.navigate(m_address);
    m_code = RankingCode(installationId, points);
    m_form.setText("Text1", m_code);
}

}  // namespace pt
