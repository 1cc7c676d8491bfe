#pragma once

#include "core/online/RankingPresenter.h"
#include "ui/OnlineWindow.h"

namespace pt {

// The ranking window (RankingPresenter): the ranking page beside the code to paste into it.
class RankingWindow : public OnlineWindow {
    Q_OBJECT
public:
    RankingWindow(const std::string& address, std::uint32_t installationId,
                  const DynamicValue& points, Language lang = Language::Simplified);
    RankingPresenter& presenter() { return m_presenter; }

private:
    RankingPresenter m_presenter;
};

}  // namespace pt
