// The web-engine module: built as pathtally_web.so, the only code that links Qt WebEngine.

#include <QPointer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "ui/web/EngineEnvironment.h"
#include "ui/web/WebPage.h"

namespace pt {
namespace {

class WebEnginePage : public WebPage {
public:
    explicit WebEnginePage(QWidget* parent) : m_view(new QWebEngineView(parent)) {
        QObject::connect(m_view, &QWebEngineView::titleChanged, m_view,
                         [this](const QString& title) {
                             if (m_handler) m_handler(title);
                         });
        QObject::connect(m_view->page(), &QWebEnginePage::loadingChanged, m_view,
                         [this](const QWebEngineLoadingInfo& info) { onLoading(info); });
    }
    ~WebEnginePage() override { delete m_view.data(); }

    QWidget* widget() override { return m_view; }
    void navigate(const QString& url) override {
        if (m_view) m_view->setUrl(QUrl::fromUserInput(url));
    }
    void setContent(const QByteArray& data, const QString& mimeType,
                    const QString& baseUrl) override {
        if (m_view) m_view->setContent(data, mimeType, QUrl(baseUrl));
    }
    QString title() const override { return m_view ? m_view->title() : QString(); }
    void setTitleHandler(std::function<void(const QString&)> handler) override {
        m_handler = std::move(handler);
    }
    void back() override {
        if (m_view) m_view->back();
    }
    void forward() override {
        if (m_view) m_view->forward();
    }
    void reload() override {
        if (m_view) m_view->reload();
    }
    void setUnreachablePage(std::function<QString(const QString&)> html) override {
        m_unreachable = std::move(html);
    }

private:
    void onLoading(const QWebEngineLoadingInfo& info) {
        constexpr int Aborted = -3;  // a navigation replaced by the next one
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || !m_unreachable ||
            info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ||
            info.errorCode() == Aborted || !m_view)
            return;
        // The failed address stays the base, so that reload tries it again.
        const QString html = m_unreachable(info.url().toString());
        if (!html.isEmpty()) m_view->setHtml(html, info.url());
    }

    QPointer<QWebEngineView> m_view;
    std::function<QString(const QString&)> m_unreachable;
    std::function<void(const QString&)> m_handler;
};

}  // namespace
}  // namespace pt

extern "C" __attribute__((visibility("default"))) pt::WebPage* pathtally_create_web_page(
    QWidget* parent) {
    pt::PrepareEngineEnvironment();
    return new pt::WebEnginePage(parent);
}
