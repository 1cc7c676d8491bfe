#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace pt {

// The face of the web-engine module: one page with its widget. The module is a separate
// library so that the program maps the engine (some 300 MB resident) only once a page
// must be shown; WebView loads it and creates pages through CreateWebPageSymbol.
class WebPage {
public:
    virtual ~WebPage() = default;
    // The page's widget, a child of the parent given to the factory.
    virtual QWidget* widget() = 0;
    // Starts loading; returns at once.
    virtual void navigate(const QString& url) = 0;
    // Shows a page already at hand (no fetch); links resolve against baseUrl.
    virtual void setContent(const QByteArray& data, const QString& mimeType,
                            const QString& baseUrl) = 0;
    // The document title, or the address while the page has none.
    virtual QString title() const = 0;
    virtual void setTitleHandler(std::function<void(const QString&)> handler) = 0;
    // History and reload, as a browser's buttons do them.
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void reload() = 0;
    // Where the site cannot be reached (no connection, no such host), the page shows the
    // document `html` returns for the address instead of the engine's own error page.
    // Nothing is retried. Answers of the site itself (a 404 page) are shown as they are.
    virtual void setUnreachablePage(std::function<QString(const QString& url)> html) = 0;
};

// extern "C" WebPage* pathtally_create_web_page(QWidget* parent); nullptr on failure.
// The page is a widget of the parent's window, which then composes everything it paints
// through OpenGL: that window must get its page before it is first mapped, or the toolkit
// re-creates it.
using CreateWebPageFunction = WebPage* (*)(QWidget* parent);
inline constexpr const char* CreateWebPageSymbol = "pathtally_create_web_page";

// extern "C" WebPage* pathtally_create_own_surface_web_page(QWidget* parent); the same,
// but the page is drawn in a native child window of its own with its own OpenGL surface,
// held by the widget returned: the parent's window stays a raster window (mapped without
// the OpenGL driver, its other controls repainted without OpenGL) and may get the page at
// any time after it is shown, without being re-created.
inline constexpr const char* CreateOwnSurfaceWebPageSymbol =
    "pathtally_create_own_surface_web_page";

}  // namespace pt
