// The windows at the designed font and at the larger ones a desktop may set (12 pt is
// common on HiDPI laptops, 16 pt for weak eyes): the pages grow with the font and with the
// window, no two texts overlap and none is cut off. And a picture of every window in both
// scripts, at the designed font and at 12 pt, at the run's pixel ratio.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/DialogPresenters.h"
#include "support/FakeServices.h"
#include "support/MemoryDayHistory.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/AboutDialog.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/ClearAllDialog.h"
#include "ui/HistoryWindow.h"
#include "ui/MainWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

namespace pt {
namespace {

// The application's font at `points` for the life of the object (the designed font: 0).
class ScopedFontSize {
public:
    explicit ScopedFontSize(int points) : m_saved(QApplication::font()) {
        if (points <= 0) return;
        QFont font = m_saved;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~ScopedFontSize() { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

bool ShowsText(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) return !label->text().isEmpty();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return !button->text().isEmpty();
    return false;
}

// What is wrong with the texts of `window` that are shown: one that lacks the room it
// needs, sticks out of a widget around it, or overlaps another; none when all is well.
std::vector<std::string> TextProblems(QWidget* window, size_t* looked = nullptr) {
    std::vector<std::string> problems;
    std::vector<QWidget*> texts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !ShowsText(w)) continue;
        texts.push_back(w);
        const std::string name = w->objectName().toStdString();
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool roomy =
            label && label->wordWrap()
                ? w->height() >= label->heightForWidth(w->width())
                : w->width() >= w->sizeHint().width() &&
                      w->height() >= std::min(w->sizeHint().height(), w->fontMetrics().height());
        if (!roomy)
            problems.push_back(name + " is cut (" + std::to_string(w->width()) + "x" +
                               std::to_string(w->height()) + ")");
        for (QWidget* around = w->parentWidget(); around && around != window->parentWidget();
             around = around->parentWidget()) {
            const QRect box(w->mapTo(around, QPoint(0, 0)), w->size());
            if (!around->rect().contains(box))
                problems.push_back(name + " sticks out of " + around->objectName().toStdString());
        }
    }
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const QRect a(texts[i]->mapTo(window, QPoint(0, 0)), texts[i]->size());
            const QRect b(texts[j]->mapTo(window, QPoint(0, 0)), texts[j]->size());
            if (a.intersects(b))
                problems.push_back(texts[i]->objectName().toStdString() + " overlaps " +
                                   texts[j]->objectName().toStdString());
        }
    if (looked) *looked = texts.size();
    return problems;
}

// Every text of `window` that is shown has the room it needs, lies inside each widget
// around it, and no two overlap, once the window system has given the window its size
// (an X server answers a resize a little later). Returns how many texts it looked at.
size_t ExpectTextsFit(QWidget* window, const std::string& where) {
    test::QtWaitUntil([&] { return TextProblems(window).empty(); }, 3000);
    size_t looked = 0;
    for (const std::string& problem : TextProblems(window, &looked))
        ADD_FAILURE() << where << ": " << problem;
    return looked;
}

// A picture for the eye, named after the window, the script, the font and the pixel ratio.
void SaveScreenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(PT_BINARY_DIR "/screenshots"));
    const QString file = QStringLiteral(PT_BINARY_DIR "/screenshots/%1-%2x.png")
                             .arg(name)
                             .arg(qRound(widget->devicePixelRatioF()));
    EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
}

class FontSizes : public ::testing::Test, protected test::FakeServices {
protected:
    void SetUp() override {
        test::QtTestApp();
        // The main window at 16 pt is larger than the offscreen platform's usual screen,
        // where it would scroll: these run on a large one (ui_tests_fonts, 1x and 2x).
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        if (screen.width() < 1280 || screen.height() < 1000)
            GTEST_SKIP() << "needs a screen of at least 1280x1000, not " << screen.width() << "x"
                         << screen.height();
        qputenv("PATHTALLY_WEB_MODULE", "/nonexistent/pathtally_web.so");
        system.folder = dir.path().string();
        system.exe = (dir / "pathtally").string();
        WriteSetting(store, MainKey, "ClosePtHome", "1");
        WriteSetting(store, MainKey, "ClosePtNews", "1");
        WriteSetting(store, MainKey, "UpdateCK", "0");
        history.add("2025-12-20", 11, {90000, 30, 1, 9, 800, 2400});
        history.add("2026-06-01", 16, {210000, 60, 2, 20, 1500, 5400});
        history.add("2026-11-30", 9, {123456, 120, 3, 40, 2500, 3600});
        history.add("2026-12-07", 9, {500000, 2, 0, 1, 40, 600});
        history.add("2026-12-08", 14, {300, 1, 1, 0, 10, 300});
    }
    void TearDown() override { window.reset(); }

    MainWindow& open(int locale) {
        system.locale = locale;
        MainServices s = services((dir / "PTDATA.CVD").string());
        s.history = &history;
        window.reset();
        parts = std::make_unique<MainParts>(s.input, s.history, s.clock);
        window = std::make_unique<MainWindow>(s, *parts);
        window->start();
        window->showAtStart();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Long figures, as after months of use.
        StatisticsModel& figures = parts->statistics;
        figures.startFrom(LifetimeTotals{0, 0, {0, 0, 0, 987654321 - 123456}, {}});
        for (int i = 0; i < 123456; ++i) figures.countClick(MouseButton::Left);
        window->presenter().onSecondTick();
        // Shown at the window's next display tick.
        EXPECT_TRUE(test::QtWaitUntil(
            [this] {
                auto* today = window->findChild<QLabel*>(QStringLiteral("Label27"));
                return today && today->text() == QLatin1String("123456");
            },
            5000));
        // The window takes up what the longer texts need once their layouts have.
        QWidget* column = window->findChild<QWidget*>(QStringLiteral("PageColumn"));
        EXPECT_NE(column, nullptr);
        EXPECT_TRUE(test::QtWaitUntil(
            [&] {
                const QSize need = column->minimumSizeHint();
                return window->minimumWidth() >= need.width() &&
                       window->minimumHeight() >= need.height() &&
                       window->size() == window->size().expandedTo(window->minimumSize());
            },
            5000));
        return *window;
    }

    // The dialogs and secondary windows, each made fresh in `lang`.
    std::vector<std::pair<QString, std::function<QWidget*()>>> otherWindows(Language lang) {
        return {
            {QStringLiteral("options"),
             [this, lang] {
                 return new OptionsDialog(std::make_unique<OptionsPresenter>(
                     store, autostart, system, lang, ClickHookSwitch{}));
             }},
            {QStringLiteral("data-reset"),
             [this, lang] {
                 return new ClearAllDialog(test::DataResetOver(model, store, clock, lang));
             }},
            {QStringLiteral("about"),
             [this, lang] {
                 return new AboutDialog(std::make_unique<AboutPresenter>(
                     store, shell, lang,
                     AboutFacts{"V1.0.1", "DESKTOP-1", "alice", system.storagePlaces()}));
             }},
            {QStringLiteral("history"),
             [this, lang] { return new HistoryWindow(history, clock, messages, lang); }},
            // A year of days: the axis names the months, with the year where it changes.
            {QStringLiteral("history-year"),
             [this, lang] {
                 auto* w = new HistoryWindow(history, clock, messages, lang);
                 w->setRange(365);
                 return w;
             }},
            {QStringLiteral("update"),
             [lang] { return new UpdateWindow(lang, "V1.0.1", "http://127.0.0.1:9/pt/soft/"); }},
            {QStringLiteral("ranking"),
             [lang] {
                 return new RankingWindow("http://127.0.0.1:9/pt/paiming.asp", 5,
                                          DynamicValue::Int16(10), lang);
             }},
            {QStringLiteral("site"),
             [lang] { return new SiteBrowserWindow(lang, "http://127.0.0.1:9"); }},
            {QStringLiteral("auto-update"), [lang] {
                 return new AutoUpdateWindow(lang, "V1.0.1", "http://127.0.0.1:9/pt/pt_update.asp",
                                             AutoUpdatePresenter::Mode::Asked);
             }}};
    }

    test::TempDir dir;
    test::MemoryDayHistory history;
    StatisticsModel model;
    std::unique_ptr<MainParts> parts;
    std::unique_ptr<MainWindow> window;
};

// At the designed font the window has its designed size, which stays its minimum; larger
// fonts make it larger, never clipping or overlapping a text, in either script.
TEST_F(FontSizes, MainWindowGrowsWithTheFontAndKeepsEveryTextWhole) {
    QSize previous;
    for (int points : {0, 9, 12, 16}) {
        ScopedFontSize font(points);
        for (int locale : {2052, 1028}) {
            MainWindow& w = open(locale);
            const std::string where =
                "main window at " + std::to_string(points) + " pt, " + std::to_string(locale);
            auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
            ASSERT_NE(tabs, nullptr);
            if (points == 0) {
                EXPECT_EQ(w.width(), 660) << "the designed size";
                EXPECT_EQ(w.minimumWidth(), 660) << "and the smallest";
            } else {
                EXPECT_GE(w.width(), previous.width()) << where;
                EXPECT_GE(w.height(), previous.height()) << where;
            }
            EXPECT_EQ(w.minimumSize(), w.size()) << where << ": opened at its smallest";
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                QApplication::processEvents();
                EXPECT_GE(ExpectTextsFit(&w, where + " tab " + std::to_string(tab)), 10u);
            }
            tabs->setCurrentIndex(0);
            if (locale == 2052) previous = w.size();
        }
    }
}

// Enlarging the window enlarges the pages; the window never gets smaller than they need.
TEST_F(FontSizes, PagesFollowTheWindow) {
    ScopedFontSize font(12);
    MainWindow& w = open(2052);
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* travel = w.findChild<QWidget*>(QStringLiteral("Frame4"));
    ASSERT_NE(travel, nullptr);
    const QSize tabsBefore = tabs->size(), smallest = w.minimumSize();
    const int travelBefore = travel->width();
    w.resize(w.size() + QSize(240, 160));
    EXPECT_TRUE(test::QtWaitUntil([&] { return tabs->width() >= tabsBefore.width() + 240; }));
    EXPECT_GE(tabs->height(), tabsBefore.height() + 160);
    EXPECT_GT(travel->width(), travelBefore);
    EXPECT_GE(ExpectTextsFit(&w, "enlarged main window"), 10u);
    w.resize(200, 200);
    EXPECT_TRUE(test::QtWaitUntil([&] { return w.size() == smallest; }))
        << w.width() << "x" << w.height();
}

TEST_F(FontSizes, DialogsAndWindowsKeepEveryTextWhole) {
    for (int points : {0, 9, 12, 16})
        for (Language lang : {Language::Simplified, Language::Traditional}) {
            ScopedFontSize font(points);
            for (auto& [name, make] : otherWindows(lang)) {
                std::unique_ptr<QWidget> w(make());
                w->show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get())) << name.toStdString();
                QApplication::processEvents();
                ExpectTextsFit(w.get(),
                               name.toStdString() + " at " + std::to_string(points) + " pt");
            }
        }
}

// Pictures of every window in both scripts at the designed font and at 12 pt (1x, and 2x
// in the run at twice the pixel ratio).
TEST_F(FontSizes, ScreenshotsOfEveryWindowInBothScripts) {
    for (int points : {0, 12}) {
        ScopedFontSize font(points);
        const QString size = points ? QStringLiteral("-12pt") : QString();
        for (const auto& [locale, lang, script] : {std::tuple{2052, Language::Simplified, "gb"},
                                                   std::tuple{1028, Language::Traditional, "b5"}}) {
            MainWindow& w = open(locale);
            auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                QApplication::processEvents();
                SaveScreenshot(&w, QStringLiteral("main-tab%1-%2%3").arg(tab).arg(script, size));
            }
            window.reset();
            for (auto& [name, make] : otherWindows(lang)) {
                std::unique_ptr<QWidget> other(make());
                other->show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(other.get()));
                QApplication::processEvents();
                SaveScreenshot(other.get(), name + QLatin1Char('-') + script + size);
            }
        }
    }
}

}  // namespace
}  // namespace pt
