// A page drawn in a native child window of its own: a Qt Quick window holding the engine's
// WebEngineView, embedded in the parent widget through a window container. The window
// that holds the container keeps its raster surface.

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "ui/web/EngineEnvironment.h"
#include "ui/web/WebPage.h"

namespace pt {
namespace {

// The view's type is registered by the engine's QML plugin and has no public C++ header:
// the page reaches it through its properties, methods and signals by name.
constexpr const char* ViewSource =
    "import QtQuick\n"
    "import QtWebEngine\n"
    "WebEngineView { anchors.fill: parent }\n";

// One engine for every page of the process, made with the first.
QQmlEngine& Engine() {
    static QQmlEngine* engine = new QQmlEngine;  // lives as long as the pages may
    return *engine;
}

// Receives the view's signals (found by name) on behalf of the page, and hands the keys
// the page leaves unused to the widgets around it.
class ViewSignals : public QObject {
    Q_OBJECT
public:
    std::function<void()> onTitle;
    std::function<void(const QWebEngineLoadingInfo&)> onLoading;
    QPointer<QWidget> keysTo;

    // The engine gives the keys a page did not use to the view's parent item, the Quick
    // window's root, where they would end: they go on to the widget holding the window, and
    // from there up its parents, as from a page in a widget (Ctrl+Tab in a tab page).
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && keysTo) {
            const auto* key = static_cast<QKeyEvent*>(event);
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                           key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                           key->isAutoRepeat(), key->count());
            QCoreApplication::sendEvent(keysTo, &copy);
            return copy.isAccepted();
        }
        return QObject::eventFilter(watched, event);
    }

public slots:
    void titleChanged() {
        if (onTitle) onTitle();
    }
    void loadingChanged(const QWebEngineLoadingInfo& info) {
        if (onLoading) onLoading(info);
    }
};

// Hands the page the pointer's moves without a button held at most every kMoveIntervalMs,
// the last one always: each move costs the engine a round of input handling in this
// process and in the page's, and a mouse over the window reports up to 1000 a second.
// Presses, releases, drags and everything else pass at once.
class MoveThrottle : public QObject {
public:
    explicit MoveThrottle(QWindow* window) : QObject(window), m_window(window) {
        m_timer.setSingleShot(true);
        m_timer.setInterval(kMoveIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { deliverPending(); });
        window->installEventFilter(this);
    }

    static constexpr int kMoveIntervalMs = 33;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window || m_delivering) return false;
        if (event->type() != QEvent::MouseMove) {
            // Anything else (a press, the pointer leaving) comes after the move before it.
            if (m_pending &&
                (event->type() == QEvent::MouseButtonPress ||
                 event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::Leave))
                deliverPending();
            return false;
        }
        auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() != Qt::NoButton) {
            m_pending.reset();
            return false;
        }
        if (!m_timer.isActive()) {
            m_timer.start();
            return false;  // the first move of a while goes through
        }
        m_pending.reset(move->clone());
        return true;
    }

private:
    void deliverPending() {
        m_timer.stop();
        if (!m_pending) return;
        const std::unique_ptr<QMouseEvent> move = std::move(m_pending);
        m_delivering = true;
        QCoreApplication::sendEvent(m_window, move.get());
        m_delivering = false;
        m_timer.start();
    }

    QWindow* m_window;
    QTimer m_timer;
    std::unique_ptr<QMouseEvent> m_pending;
    bool m_delivering = false;
};

// Connects the view's signal `signal` to the receiver's slot of the same signature.
bool ConnectByName(QObject* view, const char* signal, ViewSignals* receiver) {
    const QByteArray signature = QMetaObject::normalizedSignature(signal);
    const int from = view->metaObject()->indexOfSignal(signature);
    const int to = receiver->metaObject()->indexOfSlot(signature);
    if (from < 0 || to < 0) return false;
    return QObject::connect(view, view->metaObject()->method(from), receiver,
                            receiver->metaObject()->method(to));
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool InScrollArea(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(w)) return true;
    return false;
}

class OwnSurfacePage : public WebPage {
public:
    // The page, or nullptr when the view cannot be made (the engine's QML module is
    // missing): then nothing has been added to the parent.
    static std::unique_ptr<OwnSurfacePage> Create(QWidget* parent) {
        if (OnWayland() && InScrollArea(parent)) {
            // The toolkit makes a page's window in a scroll area a native child window,
            // nested in native windows of the widgets around it that have no content of
            // their own; a Wayland compositor shows nothing inside those.
            qWarning("A page in a scrolled area cannot have a window of its own here");
            return nullptr;
        }
        QQmlComponent component(&Engine());
        component.setData(ViewSource, QUrl());
        std::unique_ptr<QObject> made(component.create());
        auto* view = qobject_cast<QQuickItem*>(made.get());
        if (!view) {
            qWarning("Cannot create the web view: %s", qPrintable(component.errorString()));
            return nullptr;
        }
        made.release();
        return std::unique_ptr<OwnSurfacePage>(new OwnSurfacePage(parent, view));
    }
    ~OwnSurfacePage() override { delete m_container.data(); }

    QWidget* widget() override { return m_container; }
    void navigate(const QString& url) override {
        if (m_view) m_view->setProperty("url", QUrl::fromUserInput(url));
    }
    void setContent(const QByteArray& data, const QString& mimeType,
                    const QString& baseUrl) override {
        if (!m_view) return;
        if (!mimeType.startsWith(QLatin1String("text/html"))) {
            // The view loads pages by address or as HTML text only.
            navigate(baseUrl);
            return;
        }
        // Decoded in the charset the page declares (UTF-8 when it declares none).
        QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
        const QString html =
            decoder.isValid() ? QString(decoder.decode(data)) : QString::fromUtf8(data);
        loadHtml(html, QUrl(baseUrl));
    }
    QString title() const override {
        return m_view ? m_view->property("title").toString() : QString();
    }
    void setTitleHandler(std::function<void(const QString&)> handler) override {
        m_handler = std::move(handler);
    }
    void back() override { call("goBack"); }
    void forward() override { call("goForward"); }
    void reload() override { call("reload"); }
    void setUnreachablePage(std::function<QString(const QString&)> html) override {
        m_unreachable = std::move(html);
    }

private:
    OwnSurfacePage(QWidget* parent, QQuickItem* view) : m_window(new QQuickWindow), m_view(view) {
        // Until the first frame of the page the window shows its parent's background.
        m_window->setColor(parent->palette().color(QPalette::Window));
        view->setParentItem(m_window->contentItem());
        view->setParent(m_window);  // deleted with the window
        // The container owns the Quick window from here on.
        m_container = QWidget::createWindowContainer(m_window, parent);
        // On X11 native and shown from the start, so that every placement of the page's
        // window is relative to the container's own window: a container first laid out and
        // only then shown (made native inside a scroll area) keeps the offset of its first
        // placement, relative to the top-level window, and the page lands off its place.
        // Not on Wayland: there a native child window is a sub-surface, and the widgets'
        // native windows (the container's, its parents' and their siblings', all made
        // native with it) get no content of their own; the page inside them is never shown
        // and the window's other controls in them stop reaching the screen. Without it the
        // page's window is a sub-surface of the top-level window itself.
        // Only the container and the widgets holding it become native windows, not their
        // siblings too (the menu bar, the status bar, the tab pages): each native window is
        // one more X window the pointer enters and leaves and one more flush per repaint.
        if (!OnWayland()) {
            QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
            m_container->winId();
        }
        m_container->show();
        m_container->setFocusPolicy(Qt::StrongFocus);
        m_signals = new ViewSignals;
        m_signals->setParent(m_container);
        m_signals->keysTo = m_container;
        m_window->contentItem()->installEventFilter(m_signals);
        new MoveThrottle(m_window);  // deleted with the window
        m_signals->onTitle = [this] {
            if (m_handler) m_handler(title());
        };
        m_signals->onLoading = [this](const QWebEngineLoadingInfo& info) { onLoading(info); };
        if (!ConnectByName(view, "titleChanged()", m_signals) ||
            !ConnectByName(view, "loadingChanged(QWebEngineLoadingInfo)", m_signals))
            qWarning("The web view has no title or loading signal");
    }

    void call(const char* method) {
        if (m_view) QMetaObject::invokeMethod(m_view, method);
    }
    void loadHtml(const QString& html, const QUrl& baseUrl) {
        if (m_view)
            QMetaObject::invokeMethod(m_view, "loadHtml", Q_ARG(QString, html),
                                      Q_ARG(QUrl, baseUrl));
    }
    void onLoading(const QWebEngineLoadingInfo& info) {
        constexpr int Aborted = -3;  // a navigation replaced by the next one
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || !m_unreachable ||
            info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ||
            info.errorCode() == Aborted)
            return;
        // The failed address stays the base, so that reload tries it again.
        const QString html = m_unreachable(info.url().toString());
        if (!html.isEmpty()) loadHtml(html, info.url());
    }

    QQuickWindow* m_window;
    QPointer<QWidget> m_container;
    QPointer<QQuickItem> m_view;
    ViewSignals* m_signals;
    std::function<QString(const QString&)> m_unreachable;
    std::function<void(const QString&)> m_handler;
};

}  // namespace
}  // namespace pt

extern "C" __attribute__((visibility("default"))) pt::WebPage*
pathtally_create_own_surface_web_page(QWidget* parent) {
    pt::PrepareEngineEnvironment();
    return pt::OwnSurfacePage::Create(parent).release();
}

#include "OwnSurfacePage.moc"
