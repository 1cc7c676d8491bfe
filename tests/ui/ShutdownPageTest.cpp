#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/shutdown/ShutdownScheduler.h"
#include "core/texts/MainWindowTexts.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/QtTestApp.h"
#include "ui/FormBinder.h"
#include "ui/ShutdownPage.h"

namespace pt {
namespace {

using shutdown_controls::ClockRule;

// The page as the main window shows it: the presenter's form rendered by a binder, clicks
// and edits of the widgets sent back by name, Timer3 driven by the presenter.
struct PageView {
    FormModel form;
    test::MemorySettingsStore store;
    test::FakeClock clock;
    test::FakeMessageBox boxes;
    test::FakePower power;
    CommandTable commands;
    std::unique_ptr<ShutdownScheduler> presenter;
    std::unique_ptr<ShutdownPage> page;
    FormBinder* binder = nullptr;

    explicit PageView(Language lang) {
        test::QtTestApp();
        ApplyDesignedTexts(form);
        ApplyLanguageTexts(form, lang);
        page = std::make_unique<ShutdownPage>();
        presenter = std::make_unique<ShutdownScheduler>(
            form, store, clock, boxes, power, lang, false, commands, [] {}, [] {},
            [this](bool running) { page->runCountdown(running); });
        presenter->restoreSchedule();
        binder = new FormBinder(form, page.get(), [this](ControlId id) {
            commands.run(id);
            binder->sync();
        });
        binder->bindChildren();
        binder->syncAll();
        page->connectCountdown([this] {
            presenter->onCountdownTick();
            binder->sync();
        });
        page->resize(640, 560);
        page->show();
        QApplication::processEvents();
    }
    template <typename W = QWidget>
    W* w(const char* name) {
        auto* widget = page->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString caption(const char* name) {
        QWidget* widget = w(name);
        if (auto* b = qobject_cast<QAbstractButton*>(widget)) return b->text();
        if (auto* l = qobject_cast<QLabel*>(widget)) return l->text();
        if (auto* g = qobject_cast<QGroupBox*>(widget)) return g->title();
        if (auto* e = qobject_cast<QLineEdit*>(widget)) return e->text();
        return {};
    }
    void click(const char* name) {
        QWidget* target = w(name);
        // Check boxes react on their indicator and caption, at the left.
        const QPoint at = qobject_cast<QCheckBox*>(target) ? QPoint(6, target->height() / 2)
                                                           : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }
    void type(const char* name, const char* text) {
        auto* field = w<QLineEdit>(name);
        field->clear();
        QTest::keyClicks(field, QString::fromUtf8(text));
    }
};

TEST(ShutdownPageView, SimplifiedPageAtStart) {
    PageView v(Language::Simplified);
    EXPECT_EQ(v.caption("Frame1"), QStringLiteral("设定自动关机"));
    EXPECT_EQ(v.caption("Check1"), QStringLiteral("设定"));
    EXPECT_EQ(v.caption("Label18"), QStringLiteral("分钟后自动关机"));
    EXPECT_EQ(v.caption("Check3"), QStringLiteral("设定每周星期一至星期五"));
    EXPECT_EQ(v.caption("HourLabel5"), QStringLiteral("点"));
    EXPECT_EQ(v.caption("MinuteLabel7"), QStringLiteral("分关机"));
    EXPECT_EQ(v.caption("MonthLabel6"), QStringLiteral("月"));
    EXPECT_EQ(v.caption("DayLabel6"), QStringLiteral("日"));
    EXPECT_EQ(v.caption("Command9"), QStringLiteral("启用"));
    EXPECT_EQ(v.caption("cmdLogoff"), QStringLiteral("立即注销"));
    EXPECT_EQ(v.caption("cmdReboot"), QStringLiteral("立即重启"));
    EXPECT_EQ(v.caption("cmdShutdown"), QStringLiteral("立即关机"));
    EXPECT_EQ(v.w("Text1")->toolTip(), QStringLiteral("输入大于0的数，可以是小数"));
    EXPECT_TRUE(v.w("Frame2")->isVisible());

    // Every row idle: enable buttons shown and disabled, cancel buttons and warning hidden.
    for (int enable = 1; enable <= 17; enable += 2) {
        const QByteArray on = "Command" + QByteArray::number(enable);
        const QByteArray off = "Command" + QByteArray::number(enable + 1);
        EXPECT_TRUE(v.w(on.constData())->isVisible()) << on.constData();
        EXPECT_FALSE(v.w(on.constData())->isEnabled()) << on.constData();
        EXPECT_FALSE(v.w(off.constData())->isVisible()) << off.constData();
    }
    EXPECT_FALSE(v.w("Label23")->isVisible());
    EXPECT_TRUE(v.w<QLineEdit>("Text10")->isEnabled());
}

TEST(ShutdownPageView, TraditionalPageAtStart) {
    PageView v(Language::Traditional);
    EXPECT_EQ(v.caption("Frame1"), QStringLiteral("設定自動關機"));
    EXPECT_EQ(v.caption("Check1"), QStringLiteral("設定"));
    EXPECT_EQ(v.caption("Label18"), QStringLiteral("分鐘後自動關機"));
    EXPECT_EQ(v.caption("Check4"), QStringLiteral("設定每週星期六"));
    EXPECT_EQ(v.caption("Check7"), QStringLiteral("設定每天"));
    EXPECT_EQ(v.caption("HourLabel3"), QStringLiteral("點"));
    EXPECT_EQ(v.caption("MinuteLabel9"), QStringLiteral("分關機"));
    EXPECT_EQ(v.caption("Command1"), QStringLiteral("啟 動"));
    EXPECT_EQ(v.caption("Command14"), QStringLiteral("取 消"));
    EXPECT_EQ(v.caption("cmdLogoff"), QStringLiteral("立即註銷"));
    EXPECT_EQ(v.caption("cmdShutdown"), QStringLiteral("立即關機"));
}

TEST(ShutdownPageView, ArmingAndCancellingARowByMouseAndKeyboard) {
    PageView v(Language::Simplified);
    const QPoint enablePlace = v.w("Command13")->geometry().topLeft();
    v.click("Check7");
    EXPECT_TRUE(v.w("Command13")->isEnabled());
    v.type("Text14", "6");
    v.type("Text15", "45");
    v.click("Command13");
    EXPECT_TRUE(v.presenter->armed(ClockRule::EveryDay1));
    EXPECT_FALSE(v.w("Command13")->isVisible());
    EXPECT_TRUE(v.w("Command14")->isVisible());
    EXPECT_EQ(v.w("Command14")->geometry().topLeft(), enablePlace);  // the same place
    EXPECT_FALSE(v.w("Check7")->isEnabled());
    EXPECT_FALSE(v.w("Text14")->isEnabled());
    EXPECT_EQ(ReadSetting(v.store, MainKey, "Text15"), "45");

    v.click("Command14");
    EXPECT_FALSE(v.presenter->armed(ClockRule::EveryDay1));
    EXPECT_FALSE(v.w<QCheckBox>("Check7")->isChecked());
    EXPECT_TRUE(v.w("Command13")->isVisible());
    EXPECT_FALSE(v.w("Command13")->isEnabled());
    EXPECT_TRUE(v.w("Text14")->isEnabled());
}

TEST(ShutdownPageView, TodayRowPadsTheMinuteInItsField) {
    PageView v(Language::Simplified);
    v.clock.setTime(8, 0);
    v.click("Check2");
    v.type("Text2", "23");
    v.type("Text3", "5");
    v.click("Command3");
    EXPECT_EQ(v.caption("Text3"), QStringLiteral("05"));
    EXPECT_TRUE(v.w("Command4")->isVisible());
}

TEST(ShutdownPageView, RefusedEntryMovesTheFocusToTheField) {
    PageView v(Language::Simplified);
    v.page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.page.get(), 30000));
    v.click("Check6");
    v.type("Text10", "4");
    v.type("Text11", "31");
    v.w("Text13")->setFocus();
    v.click("Command11");
    ASSERT_EQ(v.boxes.shown.size(), 1u);
    EXPECT_EQ(v.boxes.shown[0].text, "你输入的日期错误(4月只有30天)，请重新输入");
    EXPECT_TRUE(v.w("Text11")->hasFocus());
    EXPECT_TRUE(v.w("Command11")->isVisible());
}

TEST(ShutdownPageView, CountdownRowStates) {
    PageView v(Language::Traditional);
    v.click("Check1");
    v.type("Text1", "1.50");
    v.click("Command1");
    EXPECT_TRUE(v.page->countdownTimer()->isActive());
    EXPECT_EQ(v.page->countdownTimer()->interval(), 1000);
    EXPECT_TRUE(v.w("Label23")->isVisible());
    EXPECT_EQ(v.caption("Label23"),
              QStringLiteral("你的电脑将于1.50分钟之后自动关机，请及时保存你正在编辑的文件"));
    EXPECT_FALSE(v.w("Command1")->isVisible());
    EXPECT_TRUE(v.w("Command2")->isVisible());
    EXPECT_FALSE(v.w("Text1")->isEnabled());
    EXPECT_FALSE(v.w("Check1")->isEnabled());

    // The page's own timer runs the countdown, a second at a time.
    const QString oneTickLater =
        QStringLiteral("你的電腦將於( 0:01:29 )之後自動關機，請及時保存你正在編輯的文檔");
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.caption("Label23") == oneTickLater; }, 30000))
        << v.caption("Label23").toStdString();

    v.click("Command2");
    EXPECT_FALSE(v.page->countdownTimer()->isActive());
    EXPECT_FALSE(v.w("Label23")->isVisible());

    // The warning repeats the field as typed, markup and all.
    v.click("Check1");
    v.type("Text1", "2<b>x");
    v.click("Command1");
    EXPECT_EQ(v.caption("Label23"),
              QStringLiteral("你的电脑将于2<b>x分钟之后自动关机，请及时保存你正在编辑的文件"));
    EXPECT_EQ(v.w<QLabel>("Label23")->textFormat(), Qt::PlainText);
    v.click("Command2");
    EXPECT_TRUE(v.w("Command1")->isVisible());
    EXPECT_FALSE(v.w("Command1")->isEnabled());
    EXPECT_FALSE(v.w<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(v.w("Text1")->isEnabled());
}

}  // namespace
}  // namespace pt
