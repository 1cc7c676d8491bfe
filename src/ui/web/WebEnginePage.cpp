// The web-engine module: built as pathtally_web.so, the only code that links Qt WebEngine.

#include <unistd.h>

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPointer>
#include <QSurfaceFormat>
#include <QUrl>
#include <QWebEngineView>

#include "ui/web/WebPage.h"

// Exported by Qt Gui; what QGuiApplication calls when Qt::AA_ShareOpenGLContexts is set
// before it is created.
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace pt {
namespace {

class WebEnginePage : public WebPage {
public:
    explicit WebEnginePage(QWidget* parent) : m_view(new QWebEngineView(parent)) {
        QObject::connect(m_view, &QWebEngineView::titleChanged, m_view,
                         [this](const QString& title) {
                             if (m_handler) m_handler(title);
                         });
    }
    ~WebEnginePage() override { delete m_view.data(); }

    QWidget* widget() override { return m_view; }
    void navigate(const QString& url) override {
        if (m_view) m_view->setUrl(QUrl::fromUserInput(url));
    }
    QString title() const override { return m_view ? m_view->title() : QString(); }
    void setTitleHandler(std::function<void(const QString&)> handler) override {
        m_handler = std::move(handler);
    }

private:
    QPointer<QWebEngineView> m_view;
    std::function<void(const QString&)> m_handler;
};

// The engine renders through an OpenGL context shared with the application. Qt creates it
// with the application when asked beforehand, which maps the OpenGL driver (some 60 MB
// resident) into every run; the module creates it here instead, on the first page, which
// the engine accepts as long as no page existed before.
void PrepareSharedContext() {
    if (QOpenGLContext::globalShareContext()) return;
    auto* context = new QOpenGLContext;  // kept for the life of the process, as Qt's own
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// Chromium refuses to start its sandbox as root (containers, test machines, Xvfb
// sessions): there the sandbox is switched off, unless the environment already decides.
void PrepareEngineEnvironment() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace
}  // namespace pt

extern "C" __attribute__((visibility("default"))) pt::WebPage* pathtally_create_web_page(
    QWidget* parent) {
    pt::PrepareEngineEnvironment();
    pt::PrepareSharedContext();
    return new pt::WebEnginePage(parent);
}
