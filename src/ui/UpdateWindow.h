#pragma once

#include "core/online/UpdatePresenter.h"
#include "ui/OnlineWindow.h"

namespace pt {

// The manual update window (UpdatePresenter): the download page and the running version.
class UpdateWindow : public OnlineWindow {
    Q_OBJECT
public:
    UpdateWindow(Language lang, const std::string& versionText, const std::string& address);
    UpdatePresenter& presenter() { return m_presenter; }

private:
    UpdatePresenter m_presenter;
};

}  // namespace pt
