#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QTest>

#include "core/online/Site.h"
#include "core/shell/FeedbackMail.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/QtTestApp.h"
#include "ui/AboutDialog.h"
#include "ui/ClearAllDialog.h"
#include "ui/OptionsDialog.h"
#include "ui/Skin.h"

// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace pt {
namespace {

// Moves the pointer: the real one through XTest on an X server, else a synthetic move.
class PointerDriver {
public:
    PointerDriver() {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            m_display = XOpenDisplay(nullptr);
    }
    ~PointerDriver() {
        if (m_display) XCloseDisplay(m_display);
    }
    PointerDriver(const PointerDriver&) = delete;
    PointerDriver& operator=(const PointerDriver&) = delete;

    void moveTo(QWidget* widget, QPoint local) {
        if (!m_display) {
            QTest::mouseMove(widget, local);
            return;
        }
        // XTest takes device pixels.
        const QPoint global = widget->mapToGlobal(local) * widget->devicePixelRatioF();
        XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
        XSync(m_display, False);
    }

private:
    Display* m_display = nullptr;
};

// Counts the pointer moves a widget receives.
class MoveCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) ++count;
        return false;
    }
};

// A picture for the eye, named after the pixel ratio it was taken at.
void SaveScreenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(PT_BINARY_DIR "/screenshots"));
    const QString file = QStringLiteral(PT_BINARY_DIR "/screenshots/%1-%2x.png")
                             .arg(name)
                             .arg(qRound(widget->devicePixelRatioF()));
    EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
}

template <class W>
W* Child(QWidget* root, const char* name) {
    W* w = root->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString Text(QWidget* root, const char* name) {
    if (auto* label = root->findChild<QLabel*>(QLatin1String(name))) return label->text();
    if (auto* button = root->findChild<QAbstractButton*>(QLatin1String(name)))
        return button->text();
    ADD_FAILURE() << "no control " << name;
    return {};
}

// Clicks a check box on its indicator (its middle may lie beyond a short caption).
void Tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtTestApp(); }
    test::MemorySettingsStore store;
};

TEST_F(DialogsTest, OptionsShowsBothScriptsAndAppliesOnOk) {
    test::FakeAutostart autostart;
    test::FakeSystemInfo system;
    int hooks = 1, installs = 0;
    const ClickHookSwitch hook{[&] { return hooks > 0; },
                               [&] {
                                   ++hooks;
                                   ++installs;
                               },
                               [&] { hooks = 0; }};

    OptionsDialog b5(store, autostart, system, Language::Traditional, hook);
    EXPECT_EQ(b5.windowTitle(), QStringLiteral("選項"));
    EXPECT_EQ(Text(&b5, "Check3"), QStringLiteral("關閉統計滑鼠點擊次數功能"));
    EXPECT_EQ(Text(&b5, "Command1"), QStringLiteral("確定(&O)"));
    EXPECT_TRUE(IsSkinned(&b5));

    OptionsDialog dialog(store, autostart, system, Language::Simplified, hook);
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选项"));
    EXPECT_EQ(Text(&dialog, "Check1"), QStringLiteral("开机后自动启动本软件(强烈建议开启本功能)"));
    dialog.show();
    EXPECT_TRUE(Child<QCheckBox>(&dialog, "Check1")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&dialog, "Check2")->isVisible());
    EXPECT_FALSE(Child<QCheckBox>(&dialog, "Check4")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(&dialog, "Check4")->isVisible());

    Tick(Child<QCheckBox>(&dialog, "Check3"));
    QTest::mouseClick(Child<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadSetting(store, MainKey, "AddHook"), "1");
    EXPECT_EQ(hooks, 0) << "click counting stopped at once";
    EXPECT_EQ(autostart.value, system.exe);

    // Unticking again through a fresh dialog installs one hook.
    OptionsDialog again(store, autostart, system, Language::Simplified, hook);
    again.show();
    EXPECT_TRUE(Child<QCheckBox>(&again, "Check3")->isChecked());
    Tick(Child<QCheckBox>(&again, "Check3"));
    QTest::mouseClick(Child<QPushButton>(&again, "Command1"), Qt::LeftButton);
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(installs, 1);
}

TEST_F(DialogsTest, OptionsApplyCancelAndCloseBoxWriteNothing) {
    test::FakeAutostart autostart;
    test::FakeSystemInfo system;
    for (const char* how : {"Command2", "Command3", "close"}) {
        OptionsDialog dialog(store, autostart, system, Language::Simplified, {});
        dialog.show();
        Tick(Child<QCheckBox>(&dialog, "Check1"));
        if (std::string(how) == "close")
            dialog.close();
        else
            QTest::mouseClick(Child<QPushButton>(&dialog, how), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible()) << how;
        EXPECT_EQ(store.writeCount(), 0) << how;
        EXPECT_EQ(autostart.writes, 0) << how;
    }
}

TEST_F(DialogsTest, DataResetTextsByLanguageAndTheReset) {
    StatisticsModel model;
    test::FakeClock clock;
    test::FakeMessageBox boxes;
    model.startFrom(LifetimeTotals{0, 1e6, {50, 0, 0, 50}, DynamicValue::Int32(900)});

    ClearAllDialog b5(model, store, clock, Language::Traditional, nullptr, &boxes);
    EXPECT_TRUE(b5.isModal());
    EXPECT_TRUE(IsSkinned(&b5));
    EXPECT_EQ(b5.windowTitle(), QStringLiteral("數據重置"));
    EXPECT_EQ(Text(&b5, "Command1"), QStringLiteral("確定"));
    EXPECT_TRUE(Text(&b5, "Label1").startsWith(QStringLiteral("請注意：")));

    ClearAllDialog en(model, store, clock, Language::English, nullptr, &boxes);
    EXPECT_EQ(en.windowTitle(), QStringLiteral("数据重置"));
    EXPECT_EQ(Text(&en, "Command2"), QStringLiteral("取消(&C)"));
    en.show();
    boxes.answers = {MsgAnswer::No};
    QTest::mouseClick(Child<QPushButton>(&en, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(en.isVisible());
    EXPECT_EQ(model.totals().clicks.all, 50);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "資料重置確認(此操作不可逆)");

    ClearAllDialog gb(model, store, clock, Language::Simplified, nullptr, &boxes);
    gb.show();
    boxes.answers = {MsgAnswer::Yes};
    QTest::mouseClick(Child<QPushButton>(&gb, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(gb.isVisible());
    EXPECT_EQ(model.totals().clicks.all, 0);
    EXPECT_EQ(model.totals().travel, 0);
    EXPECT_EQ(model.totals().keys, DynamicValue::Int32(900));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text, "所有的统计数据已归零");
}

TEST_F(DialogsTest, ChineseTextHasAFontThatDrawsIt) {
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::TraditionalChinese).isEmpty());
    test::FakeAutostart autostart;
    test::FakeSystemInfo system;
    OptionsDialog dialog(store, autostart, system, Language::Simplified, {});
    QCheckBox* box = Child<QCheckBox>(&dialog, "Check1");
    const QRawFont raw = QRawFont::fromFont(box->font(), QFontDatabase::SimplifiedChinese);
    EXPECT_TRUE(raw.supportsCharacter(QChar(0x9009)));  // 选
    const QRawFont tc = QRawFont::fromFont(box->font(), QFontDatabase::TraditionalChinese);
    EXPECT_TRUE(tc.supportsCharacter(QChar(0x9078)));  // 選

    // The caption leaves ink on the box.
    dialog.show();
    const QImage image = box->grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 3; x < image.width(); ++x)
            ink += image.pixel(x, y) != background;
    EXPECT_GT(ink, 100);
}

class AboutTest : public DialogsTest {
protected:
    test::FakeShell shell;
    AboutFacts facts{"V1.0.1", "DESKTOP-1", "alice", {"/data/PTDATA.CVD"}};

    void TearDown() override {
        if (AboutDialog* box = AboutDialog::instance()) delete box;
    }
    AboutDialog* open(Language lang = Language::Simplified) {
        return AboutDialog::showInstance(store, shell, lang, facts);
    }
    static void closeAndDelete(AboutDialog* box) {
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(AboutTest, OneInstanceRaisedUnchangedThenFreshAfterClose) {
    AboutDialog* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(IsSkinned(box));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("关于 Pathtally"));
    EXPECT_EQ(Text(box, "Label14"), QStringLiteral("版本:V1.0.1"));
    EXPECT_EQ(Text(box, "Label2"), QStringLiteral("DESKTOP-1\\alice"));
    for (int i = 0; i < 30; ++i) box->tick();
    const int top = box->presenter().logoTop();

    // A second request, even in another language, brings up the same box unchanged.
    box->hide();
    EXPECT_EQ(open(Language::Traditional), box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->presenter().logoTop(), top);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("关于 Pathtally"));

    QTest::mouseClick(Child<QPushButton>(box, "Command1"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AboutDialog::instance(), nullptr) << "closing unloads it";
    AboutDialog* fresh = open(Language::Traditional);
    EXPECT_EQ(fresh->presenter().logoTop(), 0);
    EXPECT_EQ(fresh->windowTitle(), QStringLiteral("關於 Pathtally"));
    EXPECT_EQ(Text(fresh, "Label9"), QStringLiteral("官方網站："));
    closeAndDelete(fresh);
}

TEST_F(AboutTest, LogoScrollsReentersAndPausesUnderThePointer) {
    AboutDialog* box = open();
    QFrame* frame = Child<QFrame>(box, "Picture1");
    QLabel* strip = Child<QLabel>(box, "Picture2");
    EXPECT_TRUE(box->scrollTimer().isActive());
    EXPECT_EQ(box->scrollTimer().interval(), 5);
    EXPECT_EQ(strip->y(), 0);

    for (int i = 0; i < AboutDialog::TwipsPerPixel; ++i) box->tick();
    EXPECT_EQ(strip->y(), -1) << "one twip per tick";

    // Run until the strip has left the frame at the top: it comes back at the bottom edge.
    int lowest = 0;
    for (int ticks = 0; ticks < 100000 && strip->y() <= 0; ++ticks) {
        box->tick();
        lowest = std::min(lowest, strip->y());
    }
    EXPECT_EQ(lowest, -strip->height()) << "left the frame completely first";
    EXPECT_EQ(strip->y(), strip->parentWidget()->height());

    // The scrolling timer really moves it.
    const int before = box->presenter().logoTop();
    EXPECT_TRUE(test::QtWaitUntil([&] { return box->presenter().logoTop() < before; }));

    // Pointer on the logo, moving over it: frozen with a border. Elsewhere on the box: on
    // again. On an X server the real pointer is moved (XTest), as a person would.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    PointerDriver pointer;
    MoveCounter moves;
    for (QWidget* w : std::initializer_list<QWidget*>{frame, strip->parentWidget(), strip})
        w->installEventFilter(&moves);
    const QPoint middle = frame->rect().center();
    pointer.moveTo(frame, middle);
    ASSERT_TRUE(test::QtWaitUntil([&] { return !box->scrollTimer().isActive(); }));
    EXPECT_EQ(frame->frameShape(), QFrame::Box);
    for (int i = 1; i <= 5; ++i) {
        const int seen = moves.count;
        pointer.moveTo(frame, middle + QPoint(3 * i, 2 * i));
        ASSERT_TRUE(test::QtWaitUntil([&] { return moves.count > seen; })) << "move " << i;
        EXPECT_FALSE(box->scrollTimer().isActive()) << "move " << i;
    }
    const int frozen = box->presenter().logoTop();
    QTest::qWait(60);  // a time in which a running timer would have moved it
    EXPECT_EQ(box->presenter().logoTop(), frozen);
    EXPECT_FALSE(box->scrollTimer().isActive());

    pointer.moveTo(box, QPoint(4, box->height() - 4));
    ASSERT_TRUE(test::QtWaitUntil([&] { return box->scrollTimer().isActive(); }));
    EXPECT_EQ(frame->frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(test::QtWaitUntil([&] { return box->presenter().logoTop() < frozen; }));
    EXPECT_GT(box->presenter().logoTop(), frozen - 60) << "resumed from where it stopped";
}

// The logo is drawn for the screen's pixel ratio (sharp at 2x).
TEST_F(AboutTest, LogoIsDrawnForThePixelRatio) {
    AboutDialog* box = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QLabel* strip = Child<QLabel>(box, "Picture2");
    const QPixmap logo = strip->pixmap();
    EXPECT_DOUBLE_EQ(logo.devicePixelRatio(), box->devicePixelRatioF());
    EXPECT_EQ(logo.width(), qRound(strip->width() * box->devicePixelRatioF()));
    SaveScreenshot(box, "about");
}

TEST_F(AboutTest, LinksGoToTheShell) {
    WriteSetting(store, MainKey, "SiteRoot", "http://127.0.0.1:9/");
    AboutDialog* box = open(Language::Traditional);
    emit Child<QLabel>(box, "Label10")->linkActivated(QStringLiteral("#"));
    emit Child<QLabel>(box, "Label18")->linkActivated(QStringLiteral("#"));
    emit Child<QLabel>(box, "Label8")->linkActivated(QStringLiteral("#"));
    QTest::mouseClick(Child<QLabel>(box, "Picture2"), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(shell.opened.size(), 4u);
    EXPECT_EQ(shell.opened[0], "http://127.0.0.1:9");
    EXPECT_EQ(shell.opened[1], BackupSiteRoot);
    EXPECT_EQ(shell.opened[2], FeedbackMailText(FeedbackVariant::AboutBox, Language::Traditional));
    EXPECT_EQ(shell.opened[3], "http://127.0.0.1:9");
    EXPECT_EQ(Child<QLabel>(box, "Label18")->toolTip(),
              QStringLiteral("當官方網站打不開時的備用網址"));
}

}  // namespace
}  // namespace pt
