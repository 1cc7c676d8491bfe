#include "ui/SiteBrowserWindow.h"

#include <QTimer>
#include <QVBoxLayout>

#include "ui/Skin.h"
#include "ui/WebView.h"

namespace pt {

SiteBrowserWindow::SiteBrowserWindow(Wlang lang, const std::string& siteRoot)
    : OnlineWindow(m_presenter.form(), QStringLiteral("FormWebBrowser"), lang),
      m_presenter(*m_web, siteRoot),
      m_timer(new QTimer(this)) {
    ApplySkin(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);  // the page fills the window
    layout->addWidget(m_web);
    resize(960, 700);
    m_timer->setInterval(FormWebBrowser::TickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_presenter.Timer1_Timer();
        sync();
    });
    m_presenter.load();
    bind();
    m_timer->start();
}

}  // namespace pt
