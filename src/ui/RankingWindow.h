#pragma once

#include "online/FormPaiMing.h"
#include "ui/OnlineWindow.h"

namespace pt {

// The ranking window (FormPaiMing): the ranking page beside the code to paste into it.
class RankingWindow : public OnlineWindow {
    Q_OBJECT
public:
    RankingWindow(const std::string& address, std::uint32_t installationId,
                  const DynamicValue& jiFeng, Wlang lang = Wlang::GB);
    FormPaiMing& presenter() { return m_presenter; }

private:
    FormPaiMing m_presenter;
};

}  // namespace pt
