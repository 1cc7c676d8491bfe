#include "ui/SiteBrowserWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "core/texts/OnlineTexts.h"
#include "ui/Skin.h"
#include "ui/WebView.h"

namespace pt {

SiteBrowserWindow::SiteBrowserWindow(Language lang, const std::string& siteRoot)
    : OnlineWindow(m_presenter.form(), site_browser_controls::Window, site_browser_controls::Page,
                   lang),
      m_presenter(*m_web, siteRoot),
      m_timer(new QTimer(this)) {
    ApplySkin(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);  // the page fills the window
    layout->setSpacing(0);

    // Back, forward and reload, each with the keys browsers use for it.
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    struct Navigation {
        ControlId id;
        Text text;
        QList<QKeySequence> keys;
        void (WebView::*go)();
    };
    const Navigation navigation[] = {
        {site_browser_controls::Back, site_browser_texts::Back,
         QKeySequence::keyBindings(QKeySequence::Back), &WebView::back},
        {site_browser_controls::Forward, site_browser_texts::Forward,
         QKeySequence::keyBindings(QKeySequence::Forward), &WebView::forward},
        {site_browser_controls::Reload,
         site_browser_texts::Reload,
         {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)},
         &WebView::reload},
    };
    FormModel& form = m_presenter.form();
    for (const Navigation& n : navigation) {
        auto* button = new QPushButton(this);
        button->setObjectName(ObjectName(n.id));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, m_web, n.go);
        for (const QKeySequence& key : n.keys) {
            auto* shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, m_web, n.go);
        }
        form.setText(n.id, n.text.in(lang));
        form.setToolTip(n.id, n.keys.first().toString(QKeySequence::NativeText).toStdString());
        bar->addWidget(button);
    }
    bar->addStretch(1);
    layout->addLayout(bar);
    layout->addWidget(m_web, 1);
    resize(960, 700);
    m_timer->setInterval(SiteBrowserPresenter::TickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_presenter.onTick();
        sync();
    });
    binder().bindCustom(site_browser_controls::Timer, [this](const Control& c) {
        if (c.enabled)
            m_timer->start();
        else
            m_timer->stop();
    });
    m_presenter.load();
    bind();
}

}  // namespace pt
