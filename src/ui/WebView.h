#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

#include "core/ports/Browser.h"
#include "core/texts/Language.h"

class QLabel;
class QVBoxLayout;

namespace pt {

class WebPage;
class WebView;

// Gives a view the texts of its unreachable-site page in the window's language.
void SetUnreachableTexts(WebView& view, Language lang);

// An embedded web page that costs nothing until it is needed. Until the first navigate()
// it is an empty widget; the web-engine module (pathtally_web.so) is loaded, and the
// page created inside this widget, only when a requested page is to be seen: when the
// widget is shown. A program started hidden in the tray therefore never maps the engine,
// nor does a page only read (the update check reads its page over plain HTTP).
//
// The module is looked for in $PATHTALLY_WEB_MODULE (a file), next to the executable,
// then in the install folder. When it cannot be loaded the view says so in plain text.
// Running as root (containers, Xvfb test sessions) the module switches Chromium's sandbox
// off (QTWEBENGINE_DISABLE_SANDBOX=1) unless the environment sets it. The OpenGL context
// the engine shares with the application is created just before the module is loaded, so
// the program must not set Qt::AA_ShareOpenGLContexts at start (that alone costs some
// 60 MB resident).
class WebView : public QWidget, public Browser {
    Q_OBJECT
public:
    // How the page is drawn into its window.
    enum class PageSurface {
        // A widget of the window, which then composes everything it paints through
        // OpenGL; the window must get its page before it is first mapped (prepareToShow).
        Shared,
        // A native child window of its own with its own OpenGL surface: the window stays
        // a raster window, is mapped without waiting for the OpenGL driver and the engine,
        // and repaints its other controls without OpenGL. The page loads once the window
        // is on the screen and painted; the window is never re-created for it.
        Own,
    };

    explicit WebView(QWidget* parent = nullptr, PageSurface surface = PageSurface::Shared);
    ~WebView() override;

    // Whether this process has loaded the web-engine module.
    static bool engineLoaded();

    void navigate(const std::string& url) override;
    std::string title() const override;
    void onTitleChanged(std::function<void(const std::string&)> handler) override;

    // Like navigate(), but the page is at hand already (it is not fetched again). Above
    // the engine's limit for such pages (2 MB) the address is loaded instead.
    void showContent(const QByteArray& data, const QString& mimeType, const QString& url);

    // The address last requested, loaded or still waiting to be shown.
    QString requestedUrl() const { return m_url; }
    // The page exists (the module is loaded and a navigation started).
    bool pageCreated() const { return m_page != nullptr; }
    // The module could not be loaded; the view shows the unavailable text.
    bool unavailable() const { return m_failed; }
    void setUnavailableText(const QString& text);
    // The texts of the small local page shown where the site cannot be reached: a heading
    // (also the page's title) and a hint before the address.
    void setUnreachableTexts(const QString& heading, const QString& hint);
    // History and reload of the page; nothing happens before a page exists.
    void back();
    void forward();
    void reload();
    // Creates the waiting page now, while the window is still unmapped: a window that gets
    // its first shared-surface page after it has been mapped is re-created by the toolkit
    // (it switches to an OpenGL surface), which the user sees as a flicker. Nothing happens
    // when no page waits, the view itself is hidden or the page has a surface of its own.
    void prepareToShow();

signals:
    void titleChanged(const QString& title);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadIfVisible();
    void scheduleLoad();
    void loadPending();
    QString unreachablePage(const QString& url) const;

    PageSurface m_surface;
    QVBoxLayout* m_layout;
    std::unique_ptr<WebPage> m_page;
    QPointer<QWindow> m_exposeWatched;  // the window whose first paint the page waits for
    QLabel* m_message = nullptr;
    QString m_unavailableText;
    QString m_unreachableHeading;
    QString m_unreachableHint;
    QString m_url;
    QByteArray m_content;  // shown instead of loading m_url when not empty
    QString m_contentType;
    bool m_pending = false;
    bool m_failed = false;
    std::function<void(const std::string&)> m_titleHandler;
};

}  // namespace pt
