#include "ui/SiteBrowserWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "texts/ViewTexts.h"
#include "ui/Skin.h"
#include "ui/WebView.h"

namespace pt {

SiteBrowserWindow::SiteBrowserWindow(Language lang, const std::string& siteRoot)
    : OnlineWindow(m_presenter.form(), QStringLiteral("FormWebBrowser"), lang),
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
        const char* name;
        TwoScripts text;
        QList<QKeySequence> keys;
        void (WebView::*go)();
    };
    const Navigation navigation[] = {
        {"Back", BackText, QKeySequence::keyBindings(QKeySequence::Back), &WebView::back},
        {"Forward", ForwardText, QKeySequence::keyBindings(QKeySequence::Forward),
         &WebView::forward},
        {"Reload",
         ReloadText,
         {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)},
         &WebView::reload},
    };
    FormModel& form = m_presenter.form();
    for (const Navigation& n : navigation) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(n.name));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, m_web, n.go);
        for (const QKeySequence& key : n.keys) {
            auto* shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, m_web, n.go);
        }
        form.setText(n.name, n.text.in(lang));
        form.setToolTip(n.name, n.keys.first().toString(QKeySequence::NativeText).toStdString());
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
    m_presenter.load();
    bind();
    m_timer->start();
}

}  // namespace pt
