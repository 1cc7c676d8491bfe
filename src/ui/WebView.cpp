#include "ui/WebView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QVBoxLayout>
#include <QWindow>

#include "core/texts/OnlineTexts.h"
#include "ui/web/WebPage.h"

// Where an installed program keeps the module, relative to the executable's folder, so an
// installation works wherever its prefix is.
#ifndef PATHTALLY_WEB_MODULE_RELATIVE_DIR
#define PATHTALLY_WEB_MODULE_RELATIVE_DIR "../lib/pathtally"
#endif

// Exported by Qt Gui: what QGuiApplication calls when Qt::AA_ShareOpenGLContexts is set
// before it is created.
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace pt {

namespace {

constexpr const char* ModuleFile = "pathtally_web.so";

// The module once it is loaded; nullptr before, or when it cannot be. The library is
// never unloaded: the engine cannot be torn down and started again.
QLibrary* g_module = nullptr;

// The engine renders through an OpenGL context shared with the application. Qt creates it
// with the application when Qt::AA_ShareOpenGLContexts is set beforehand, which maps the
// OpenGL driver (some 60 MB resident) into every run, hidden or not; it is created here
// instead, before the engine is loaded, which the engine accepts.
void PrepareSharedContext() {
    if (QOpenGLContext::globalShareContext()) return;
    auto* context = new QOpenGLContext;  // kept for the life of the process, as Qt's own
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create()) {
        delete context;
        return;
    }
    qt_gl_set_global_share_context(context);
}

QLibrary* FindModule() {
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("PATHTALLY_WEB_MODULE");
    if (!fromEnvironment.isEmpty()) candidates << fromEnvironment;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    candidates << programFolder.filePath(ModuleFile)
               << QDir::cleanPath(programFolder.filePath(
                      QStringLiteral(PATHTALLY_WEB_MODULE_RELATIVE_DIR "/") + ModuleFile));
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path)) continue;
        PrepareSharedContext();
        // Kept for the life of the process; deleting a QLibrary does not unload it.
        auto library = std::make_unique<QLibrary>(path);
        if (!library->load()) {
            qWarning("Cannot load the web module %s: %s", qPrintable(path),
                     qPrintable(library->errorString()));
            continue;
        }
        if (library->resolve(CreateWebPageSymbol)) return library.release();
        qWarning("The web module %s has no page factory", qPrintable(path));
        library->unload();
    }
    return nullptr;
}

// The module's factory of pages of the given kind; the module is loaded on the first call
// only.
CreateWebPageFunction LoadFactory(WebView::PageSurface surface) {
    static const bool tried = (g_module = FindModule(), true);
    (void)tried;
    if (!g_module) return nullptr;
    auto factory = reinterpret_cast<CreateWebPageFunction>(
        g_module->resolve(surface == WebView::PageSurface::Own ? CreateOwnSurfaceWebPageSymbol
                                                               : CreateWebPageSymbol));
    if (!factory) qWarning("The web module has no factory of such pages");
    return factory;
}

}  // namespace

void SetUnreachableTexts(WebView& view, Language lang) {
    view.setUnreachableTexts(QString::fromUtf8(page_texts::Unreachable.in(lang)),
                             QString::fromUtf8(page_texts::UnreachableHint.in(lang)));
}

WebView::WebView(QWidget* parent, PageSurface surface)
    : QWidget(parent),
      m_surface(surface),
      m_layout(new QVBoxLayout(this)),
      m_unavailableText(QString::fromUtf8(page_texts::Unavailable.designed())) {
    m_layout->setContentsMargins(0, 0, 0, 0);
}

WebView::~WebView() = default;

bool WebView::engineLoaded() {
    return g_module != nullptr;
}

void WebView::navigate(const std::string& url) {
    m_url = QString::fromStdString(url);
    m_content.clear();
    m_pending = true;
    loadIfVisible();
}

void WebView::loadIfVisible() {
    if (!isVisible()) return;
    if (m_page || m_surface == PageSurface::Shared)
        loadPending();
    else
        scheduleLoad();
}

void WebView::showContent(const QByteArray& data, const QString& mimeType, const QString& url) {
    constexpr qsizetype EngineContentLimit = 2 * 1024 * 1024;
    m_url = url;
    m_content = data.size() < EngineContentLimit ? data : QByteArray();
    m_contentType = mimeType;
    m_pending = true;
    loadIfVisible();
}

std::string WebView::title() const {
    return m_page ? m_page->title().toStdString() : std::string();
}

void WebView::onTitleChanged(std::function<void(const std::string&)> handler) {
    m_titleHandler = std::move(handler);
}

void WebView::setUnavailableText(const QString& text) {
    m_unavailableText = text;
    if (m_message) m_message->setText(text);
}

void WebView::setUnreachableTexts(const QString& heading, const QString& hint) {
    m_unreachableHeading = heading;
    m_unreachableHint = hint;
}

QString WebView::unreachablePage(const QString& url) const {
    // Small enough for the home strip: two centred lines in the window's colours, no
    // scroll bar.
    const QPalette& p = palette();
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title><style>"
               "html,body{margin:0;height:100%;overflow:hidden}"
               "body{display:flex;align-items:center;justify-content:center;text-align:center;"
               "font:13px 'Noto Sans','Noto Sans CJK SC','Noto Sans CJK TC',sans-serif;"
               "background:%4;color:%5}"
               "p{margin:2px 8px}small{opacity:.75;word-break:break-all}</style></head>"
               "<body><div><p><b>%1</b></p><p><small>%2%3</small></p></div></body></html>")
        .arg(m_unreachableHeading.toHtmlEscaped(), m_unreachableHint.toHtmlEscaped(),
             url.toHtmlEscaped(), p.color(QPalette::Window).name(),
             p.color(QPalette::WindowText).name());
}

void WebView::back() {
    if (m_page) m_page->back();
}

void WebView::forward() {
    if (m_page) m_page->forward();
}

void WebView::reload() {
    if (m_page) m_page->reload();
}

void WebView::prepareToShow() {
    // A page of its own surface joins the window at any time without re-creating it.
    if (m_surface == PageSurface::Shared && m_pending && !isHidden()) loadPending();
}

void WebView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_pending) scheduleLoad();
}

void WebView::scheduleLoad() {
    // Created after the show has been handled, so the new page is laid out as a child
    // of a visible widget. A page of its own surface waits until the window is on the
    // screen and painted: the window is not held back by loading the engine.
    QWindow* shown = m_surface == PageSurface::Own ? window()->windowHandle() : nullptr;
    if (shown && !shown->isExposed()) {
        if (m_exposeWatched != shown) {
            if (m_exposeWatched) m_exposeWatched->removeEventFilter(this);
            m_exposeWatched = shown;
            shown->installEventFilter(this);
        }
        return;
    }
    QMetaObject::invokeMethod(this, &WebView::loadPending, Qt::QueuedConnection);
}

bool WebView::eventFilter(QObject* watched, QEvent* event) {
    // The window painted itself while it handled this event; the page loads after it.
    if (watched == m_exposeWatched && event->type() == QEvent::Expose &&
        m_exposeWatched->isExposed()) {
        m_exposeWatched->removeEventFilter(this);
        m_exposeWatched = nullptr;
        if (m_pending && isVisible())
            QMetaObject::invokeMethod(this, &WebView::loadPending, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void WebView::loadPending() {
    if (!m_pending || m_failed) return;
    if (!m_page) {
        CreateWebPageFunction factory = LoadFactory(m_surface);
        WebPage* page = factory ? factory(this) : nullptr;
        if (!page && m_surface == PageSurface::Own && engineLoaded()) {
            // Without the engine's Qt Quick parts the page is still shown, as a widget of
            // the window (which the toolkit re-creates for it).
            qWarning("The page is shown as a widget of its window");
            factory = LoadFactory(PageSurface::Shared);
            page = factory ? factory(this) : nullptr;
        }
        if (!page) {
            m_failed = true;
            m_message = new QLabel(m_unavailableText, this);
            m_message->setAlignment(Qt::AlignCenter);
            m_message->setWordWrap(true);
            m_layout->addWidget(m_message);
            return;
        }
        m_page.reset(page);
        m_layout->addWidget(page->widget());
        page->setUnreachablePage([this](const QString& url) {
            return m_unreachableHeading.isEmpty() ? QString() : unreachablePage(url);
        });
        page->setTitleHandler([this](const QString& title) {
            emit titleChanged(title);
            if (m_titleHandler) m_titleHandler(title.toStdString());
        });
    }
    m_pending = false;
    if (!m_content.isEmpty())
        m_page->setContent(m_content, m_contentType, m_url);
    else
        m_page->navigate(m_url);
}

}  // namespace pt
