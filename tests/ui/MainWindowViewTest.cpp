// The main window and the online windows as a person meets them on the offscreen
// platform: a dark desktop palette, the keyboard only, a screen reader, a small screen.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>
#include <set>
#include <tuple>

#include "app/Commands.h"
#include "support/FakeServices.h"
#include "support/MemoryDayHistory.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/AboutDialog.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/ClearAllDialog.h"
#include "ui/MainWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/OptionsDialog.h"
#include "ui/QtTranslations.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/Skin.h"
#include "ui/UpdateWindow.h"

namespace pt {
namespace {

// A dark desktop theme's palette, as a platform theme (qt6ct "darker") sets it.
QPalette DarkPalette() {
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2b), text(0xe6, 0xe6, 0xe6), base(0x1e, 0x1e, 0x1e);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, window);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        p.setColor(group, QPalette::Highlight, QColor(0x3d, 0x6f, 0xa3));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    p.setColor(QPalette::Disabled, QPalette::Window, window);
    p.setColor(QPalette::Disabled, QPalette::Base, base);
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x9a, 0x9a, 0x9a));
    return p;
}

// The text colour and the colour under it, as the widget draws them.
std::pair<QColor, QColor> InkAndPaper(const QWidget* w) {
    const QPalette& p = w->palette();
    const auto group = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
    if (qobject_cast<const QLineEdit*>(w))
        return {p.color(group, QPalette::Text), p.color(group, QPalette::Base)};
    if (qobject_cast<const QPushButton*>(w))
        return {p.color(group, QPalette::ButtonText), p.color(group, QPalette::Button)};
    // Labels, check boxes and frame titles draw on their parent.
    const QWidget* under = w->parentWidget() ? w->parentWidget() : w;
    return {p.color(group, QPalette::WindowText), under->palette().color(group, QPalette::Window)};
}

// Every text-bearing widget of a window reads on its background: 4.5:1 for enabled
// texts, 3:1 for disabled ones.
void ExpectReadable(QWidget* window, const char* which) {
    int checked = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
            !qobject_cast<QLineEdit*>(w) && !qobject_cast<QGroupBox*>(w))
            continue;
        EXPECT_FALSE(w->styleSheet().contains(QLatin1String("color")))
            << which << " " << w->objectName().toStdString();
        const auto [ink, paper] = InkAndPaper(w);
        const double needed = w->isEnabled() ? 4.5 : 3.0;
        EXPECT_GE(ContrastRatio(ink, paper), needed)
            << which << " " << w->objectName().toStdString() << " " << ink.name().toStdString()
            << " on " << paper.name().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 3) << which;
}

// A picture for the eye, named after the pixel ratio it was taken at.
void SaveScreenshot(QWidget* widget, const char* name) {
    QDir().mkpath(QStringLiteral(PT_BINARY_DIR "/screenshots"));
    const QString file = QStringLiteral(PT_BINARY_DIR "/screenshots/%1-%2x.png")
                             .arg(QLatin1String(name))
                             .arg(qRound(widget->devicePixelRatioF()));
    EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
}

class MainWindowView : public ::testing::Test, protected test::FakeServices {
protected:
    void SetUp() override {
        test::QtTestApp();
        system.folder = dir.path().string();
        system.exe = (dir / "pathtally").string();
        WriteSetting(store, MainKey, "ClosePtHome", "1");
        WriteSetting(store, MainKey, "ClosePtNews", "1");
        WriteSetting(store, MainKey, "UpdateCK", "0");
    }
    void TearDown() override {
        window.reset();
        QApplication::setPalette(QPalette());
    }

    MainWindow& open(int locale = 2052, DayHistory* history = nullptr) {
        system.locale = locale;
        MainServices s = services((dir / "PTDATA.CVD").string());
        s.history = history;
        window.reset();
        parts = std::make_unique<MainParts>(s.input, s.history, s.clock);
        window = std::make_unique<MainWindow>(s, *parts);
        window->start();
        window->showAtStart();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    template <class W = QWidget>
    W* child(const char* name) {
        W* w = window->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    test::TempDir dir;
    std::unique_ptr<MainParts> parts;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowView, EveryTextReadsUnderADarkPalette) {
    QApplication::setPalette(DarkPalette());
    MainWindow& w = open();
    for (int i = 0; i < 3; ++i) parts->statistics.countClick(MouseButton::Left);
    ExpectReadable(&w, "main window");
    // The coloured figures keep a colour of their own, made light enough for the dark.
    auto* left = child<QLabel>("Label31");
    EXPECT_NE(left->palette().color(QPalette::WindowText),
              child<QLabel>("Label26")->palette().color(QPalette::WindowText));

    test::FakeAutostart autostart2;
    OptionsDialog options(store, autostart2, system, Language::Simplified, {});
    ExpectReadable(&options, "options");
    StatisticsModel model;
    ClearAllDialog reset(model, store, clock, Language::Simplified, nullptr, &messages);
    ExpectReadable(&reset, "data reset");
    AboutDialog about(store, shell, Language::Simplified, {"V1.0.1", "DESKTOP-1", "alice", {}});
    ExpectReadable(&about, "about");
    SaveScreenshot(&w, "main-dark");
}

TEST_F(MainWindowView, FiguresFollowAPaletteChangeWhileRunning) {
    MainWindow& w = open();
    auto* figure = child<QLabel>("Label2");
    const QColor light = figure->palette().color(QPalette::WindowText);
    QApplication::setPalette(DarkPalette());
    QApplication::processEvents();
    EXPECT_NE(figure->palette().color(QPalette::WindowText), light);
    ExpectReadable(&w, "main window after the switch");
}

TEST_F(MainWindowView, CtrlTabNeverReachesTheHiddenPages) {
    MainWindow& w = open();
    auto* tabs = child<QTabWidget>("SSTab1");
    tabs->setFocus();
    std::set<int> reached{tabs->currentIndex()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
        reached.insert(tabs->currentIndex());
    }
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(tabs, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        reached.insert(tabs->currentIndex());
    }
    std::set<QString> titles;
    for (int index : reached) titles.insert(tabs->tabText(index));
    EXPECT_EQ(titles, (std::set<QString>{QStringLiteral("统  计"), QStringLiteral("定时自动关机")}))
        << "the news page is switched off too";
    // Nor through the accessibility tree: only the shown pages are offered.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs->findChild<QTabBar*>());
    ASSERT_NE(bar, nullptr);
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleInterface* tab = bar->child(i);
        if (!tab || tab->role() != QAccessible::PageTab) continue;
        const QString name = tab->text(QAccessible::Name);
        EXPECT_NE(name, QStringLiteral("电脑用时"));
        EXPECT_NE(name, QStringLiteral("保护眼睛"));
    }
    // The presenter's page numbers still reach the pages that are shown.
    w.selectTab(main_controls::MainTab::Shutdown);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QStringLiteral("定时自动关机"));
}

// Every field and figure has a name in the window's language; a click line is one text.
TEST_F(MainWindowView, ScreenReadersGetNamesAndOneTextPerLine) {
    for (const auto& [locale, script] : {std::pair{2052, "GB"}, std::pair{1028, "B5"}}) {
        MainWindow& w = open(locale);
        const bool b5 = locale == 1028;
        for (QLineEdit* field : w.findChildren<QLineEdit*>()) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(field);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
                << script << " " << field->objectName().toStdString();
            EXPECT_FALSE(a->text(QAccessible::Description).isEmpty())
                << script << " " << field->objectName().toStdString();
        }
        auto name = [&](const char* control) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child(control));
            return a ? a->text(QAccessible::Name) : QString();
        };
        EXPECT_EQ(name("Text2"),
                  b5 ? QStringLiteral("今天關機時間的小時") : QStringLiteral("今天关机时间的小时"));
        EXPECT_EQ(name("Label2"), b5 ? QStringLiteral("滑鼠今天移動的路程 0.000m")
                                     : QStringLiteral("鼠标今天移动的路程 0.000m"));
        for (int i = 0; i < 2; ++i) parts->statistics.countClick(MouseButton::Left);
        w.presenter().onSamplingTick();
        QAccessibleInterface* line = QAccessible::queryAccessibleInterface(child("ClickLineToday"));
        ASSERT_NE(line, nullptr);
        const QString clickLine =
            b5 ? QStringLiteral("今日滑鼠點擊次數2次(其中左鍵點擊2次,中鍵點擊0次,右鍵點擊0次)")
               : QStringLiteral("今日鼠标点击次数2次(其中左键点击2次,中键点击0次,右键点击0次)");
        // The next display tick renders the counts.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return line->text(QAccessible::Name) == clickLine; }, 3000));
        EXPECT_EQ(name("Label2"), b5 ? QStringLiteral("滑鼠今天移動的路程 0.000m")
                                     : QStringLiteral("鼠标今天移动的路程 0.000m"));
        EXPECT_EQ(line->childCount(), 0) << "the words and counts are not read one by one";
        EXPECT_EQ(line->text(QAccessible::Name), clickLine);
        EXPECT_EQ(child<QLabel>("Label1")->buddy(), child("Label2"));
        EXPECT_EQ(child<QLabel>("HourLabel3")->buddy(), child("Text4"));
        window.reset();
    }
}

// Tab goes from a row's box through its fields to the button that applies them.
TEST_F(MainWindowView, TabOrderPutsFieldsBeforeTheirButton) {
    MainWindow& w = open();
    w.selectTab(main_controls::MainTab::Shutdown);
    auto next = [](QWidget* from) {
        QWidget* n = from->nextInFocusChain();
        while (n != from && !(n->focusPolicy() & Qt::TabFocus)) n = n->nextInFocusChain();
        return n;
    };
    EXPECT_EQ(next(child("Check1")), child("Text1"));
    EXPECT_EQ(next(child("Text1")), child("Command1"));
    EXPECT_EQ(next(child("Check6")), child("Text10"));
    EXPECT_EQ(next(child("Text13")), child("Command11"));
    EXPECT_EQ(next(child("Text3")), child("Command3"));
}

// The designed size where it fits; where the screen is smaller (the run at twice the pixel
// ratio halves the offscreen screen), the window fits the screen and the page scrolls.
TEST_F(MainWindowView, FitsTheScreen) {
    MainWindow& w = open();
    const QRect available = w.screen()->availableGeometry();
    auto* scroll = w.findChild<QScrollArea*>();
    if (available.height() >= 700 && available.width() >= 700) {
        EXPECT_EQ(w.width(), 660) << "the designed size";
        // No scroll area around the pages: it would make their windows native.
        EXPECT_EQ(scroll, nullptr);
        return;
    }
    ASSERT_NE(scroll, nullptr);
    EXPECT_LE(w.frameGeometry().height(), available.height());
    EXPECT_LE(w.frameGeometry().width(), available.width());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0) << "the page scrolls";
    EXPECT_TRUE(child("StatusBar1.Panel1")->isVisible());
    SaveScreenshot(&w, "main-small-screen");
}

// Pictures of both scripts at the run's pixel ratio (1x, and 2x in the second run).
TEST_F(MainWindowView, ScreenshotsOfBothScripts) {
    for (const auto& [locale, name] : {std::pair{2052, "main-gb"}, std::pair{1028, "main-b5"}}) {
        MainWindow& w = open(locale);
        EXPECT_FALSE(child<QLabel>("Label1")->text().isEmpty());
        SaveScreenshot(&w, name);
        window.reset();
    }
}

TEST_F(MainWindowView, StandardButtonsInTheWindowsLanguage) {
    for (const auto& [lang, ok, cancel] : {std::tuple{Language::Simplified, "确定", "取消"},
                                           std::tuple{Language::Traditional, "確定", "取消"}}) {
        QTranslator* translator = InstallQtTranslations(lang);
        ASSERT_NE(translator, nullptr) << "qtbase translations installed";
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove(QLatin1Char('&')),
                  QString::fromUtf8(ok));
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
                  QString::fromUtf8(cancel));
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// Esc closes each online window; the ranking window's close button is in the window's
// language with an access key; the site window has back, forward and reload.
// Every control a person can click in the main window has a command: the window's own, the
// shutdown page's and those of the composition root (with the day history, whose menu items
// are shown only then).
TEST_F(MainWindowView, EveryClickableControlHasACommand) {
    test::MemoryDayHistory history;
    MainWindow& w = open(2052, &history);
    MainServices s = services((dir / "PTDATA.CVD").string());
    s.history = &history;
    const auto online = WireCommands(w, s, *parts);
    EXPECT_EQ(w.controlsWithoutCommand(), std::vector<std::string>{});
    window.reset();  // before the history it reads
}

// Every control the core writes to has a widget, an action or an applier in its window:
// a control no view carries would never show what the core says.
TEST_F(MainWindowView, EveryControlOfEveryWindowIsBound) {
    qputenv("PATHTALLY_WEB_MODULE", "/nonexistent/pathtally_web.so");
    for (int locale : {2052, 1028}) {
        MainWindow& w = open(locale);
        EXPECT_EQ(w.unboundControls(), std::vector<std::string>{}) << locale;
    }
    AboutDialog about(store, shell, Language::Simplified, {"V1.0.1", "PC", "user", {}});
    EXPECT_EQ(about.unboundControls(), std::vector<std::string>{});
    OptionsDialog options(store, autostart, system, Language::Simplified, {});
    EXPECT_EQ(options.unboundControls(), std::vector<std::string>{});
    StatisticsModel model;
    ClearAllDialog reset(model, store, clock, Language::Simplified, nullptr, &messages);
    EXPECT_EQ(reset.unboundControls(), std::vector<std::string>{});
    std::vector<std::unique_ptr<OnlineWindow>> online;
    online.emplace_back(new UpdateWindow(Language::Simplified, "V1.0.1", "http://127.0.0.1:9/"));
    online.emplace_back(new RankingWindow("http://127.0.0.1:9/", 5, DynamicValue::Int16(10)));
    online.emplace_back(new SiteBrowserWindow(Language::Simplified, "http://127.0.0.1:9"));
    online.emplace_back(new AutoUpdateWindow(Language::Simplified, "V1.0.1", "http://127.0.0.1:9/",
                                             AutoUpdatePresenter::Mode::Asked));
    for (const auto& w : online)
        EXPECT_EQ(w->unboundControls(), std::vector<std::string>{})
            << w->objectName().toStdString();
}

TEST_F(MainWindowView, OnlineWindowsCloseOnEscAndOfferTheirKeys) {
    qputenv("PATHTALLY_WEB_MODULE", "/nonexistent/pathtally_web.so");
    // Windows other tests of this binary left open would keep the keyboard.
    for (QWidget* open : QApplication::topLevelWidgets()) open->hide();
    std::vector<QPointer<QWidget>> windows{
        new UpdateWindow(Language::Simplified, "V1.0.1", "http://127.0.0.1:9/pt/soft/"),
        new RankingWindow("http://127.0.0.1:9/pt/paiming.asp", 5, DynamicValue::Int16(10),
                          Language::Traditional),
        new SiteBrowserWindow(Language::Simplified, "http://127.0.0.1:9"),
        new AutoUpdateWindow(Language::Simplified, "V1.0.1", "http://127.0.0.1:9/pt/pt_update.asp",
                             AutoUpdatePresenter::Mode::Asked)};
    auto* ranking = static_cast<RankingWindow*>(windows[1].data());
    EXPECT_EQ(ranking->findChild<QPushButton*>("Command1")->text(), QStringLiteral("關閉(&C)"));
    auto* site = windows[2].data();
    EXPECT_EQ(site->findChild<QPushButton*>("Back")->text(), QStringLiteral("后退(&B)"));
    EXPECT_EQ(site->findChild<QPushButton*>("Reload")->text(), QStringLiteral("刷新(&R)"));
    for (auto& w : windows) {
        ASSERT_TRUE(w);
        w->show();
        const std::string name = w->objectName().toStdString();
        // The window's own Esc key (the offscreen platform does not always hand a window
        // the keyboard, so the key is taken where the window listens for it).
        QShortcut* escape = nullptr;
        for (QShortcut* s : w->findChildren<QShortcut*>())
            if (s->key() == QKeySequence(Qt::Key_Escape)) escape = s;
        ASSERT_NE(escape, nullptr) << name;
        EXPECT_EQ(escape->context(), Qt::WindowShortcut);
        emit escape->activated();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull()) << name << " is closed and deleted";
        delete w.data();
    }
}

}  // namespace
}  // namespace pt
