#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "core/online/AutoUpdatePresenter.h"
#include "core/online/UnaskedUpdateCheck.h"
#include "core/ports/MessageBox.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/DynamicValue.h"
#include "core/texts/Language.h"

namespace pt {

class AutoUpdateWindow;
class RankingWindow;
class SiteBrowserWindow;
class UpdateWindow;

// Opens the windows that show pages of the product website, one instance each: a second
// request brings the open window forward without reloading it.
//
// The automatic update check runs
//  - when the user asks for it (checkForUpdates(), a Help-menu entry): the window shows
//    from its 30th tick and reports the verdict, or closes when the site stays unreachable;
//  - on its own once per run, when the main window is first shown (mainWindowShown()),
//    unless UpdateCK is "0": then it stays unseen unless a newer version is announced.
//    Never from a start hidden in the tray, which must not load the web engine.
class OnlineWindows : public QObject {
    Q_OBJECT
public:
    // points: the current points; randomId: a source of random numbers for a new
    // installation identifier (QRandomGenerator's system generator when empty).
    OnlineWindows(SettingsStore& store, MessageBox& messages, Language lang,
                  std::string versionText, std::function<DynamicValue()> points,
                  std::function<std::uint32_t()> randomId = {}, QObject* parent = nullptr);
    ~OnlineWindows() override;

    void showUpdate();       // menuUpdate "检查更新(&U)..."
    void checkForUpdates();  // the Help-menu entry for the automatic check
    void requestRanking();   // menuPaiHang (F3) and the Label75 link
    void showSiteBrowser();  // the Help-menu entry for the site browser
    void mainWindowShown();  // each time the main window is shown; acts once per run

    UpdateWindow* updateWindow() const { return m_update; }
    AutoUpdateWindow* autoUpdateWindow() const { return m_autoUpdate; }
    RankingWindow* rankingWindow() const { return m_ranking; }
    SiteBrowserWindow* siteBrowserWindow() const { return m_siteBrowser; }

private:
    void startAutoUpdate(AutoUpdatePresenter::Mode mode);

    SettingsStore& m_store;
    MessageBox& m_messages;
    Language m_lang;
    std::string m_versionText;
    std::function<DynamicValue()> m_points;
    std::function<std::uint32_t()> m_randomId;
    UnaskedUpdateCheck m_unaskedCheck;
    QPointer<UpdateWindow> m_update;
    QPointer<AutoUpdateWindow> m_autoUpdate;
    QPointer<RankingWindow> m_ranking;
    QPointer<SiteBrowserWindow> m_siteBrowser;
};

}  // namespace pt
