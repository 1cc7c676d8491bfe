#include "ui/AutoUpdateWindow.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/WebView.h"

namespace pt {

AutoUpdateWindow::AutoUpdateWindow(Language lang, const std::string& versionText,
                                   const std::string& address, AutoUpdatePresenter::Mode mode)
    : OnlineWindow(m_presenter.form(), auto_update_controls::Window, auto_update_controls::Page,
                   lang),
      m_presenter(m_pageTitle, lang, versionText, address, mode),
      m_timer(new QTimer(this)) {
    auto* label = new QLabel(this);
    label->setObjectName(ObjectName(auto_update_controls::Status));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_web, 1);
    resize(640, 480);
    // Loaded only if the view is ever shown; by then the page read for the check stands in.
    m_web->navigate(address);
    connect(&m_pageTitle, &HttpPageTitle::finished, this, [this] {
        if (m_pageTitle.wholePage().isEmpty()) return;
        const QString type = m_pageTitle.contentType();
        m_web->showContent(m_pageTitle.wholePage(),
                           type.isEmpty() ? QStringLiteral("text/html") : type, m_pageTitle.url());
    });
    m_timer->setInterval(AutoUpdatePresenter::TickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &AutoUpdateWindow::onTick);
    binder().bindCustom(auto_update_controls::Timer, [this](const Control& c) {
        if (!c.enabled)
            m_timer->stop();
        else if (!m_timer->isActive())
            m_timer->start();
    });
    m_presenter.load();
    bind();
}

void AutoUpdateWindow::onTick() {
    m_presenter.onTick();
    sync();
    if (m_presenter.outcome() != AutoUpdatePresenter::Outcome::Pending)
        emit finished(m_presenter.outcome());
    if (m_presenter.closeRequested()) close();
}

}  // namespace pt
