// Desktop notifications through a notification service on a private bus (python3-dbusmock's
// notification daemon): what is sent, and that no service and no bus are harmless.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "platform/linux/FreedesktopNotifier.h"
#include "support/DBusMockBus.h"
#include "support/ScopedEnv.h"

namespace pt {
namespace {

using test::MockBus;

TEST(FreedesktopNotifier, SendsTheNoticeToTheNotificationService) {
    MockBus bus;
    ASSERT_TRUE(bus.ready());
    ASSERT_TRUE(bus.startMock({QStringLiteral("--template"), QStringLiteral("notification_daemon")},
                              FreedesktopNotifier::Service))
        << "the notification daemon mock did not start";
    FreedesktopNotifier notifier(bus.connection(QStringLiteral("program")));
    notifier.notify("Pathtally", "新纪录：本次运行鼠标已移动 2.944m <&>");
    QStringList calls;
    ASSERT_TRUE(test::SpinUntil([&] {
        calls = bus.calls(FreedesktopNotifier::Service, FreedesktopNotifier::Path);
        return !calls.isEmpty();
    })) << "no call reached the service";
    ASSERT_EQ(calls.size(), 1) << calls.join(QStringLiteral("; ")).toStdString();
    const QString call = calls.first();
    EXPECT_TRUE(
        call.startsWith(QStringLiteral("Notify(Pathtally, 0, net.pathtally.Pathtally, "
                                       "Pathtally, 新纪录：本次运行鼠标已移动 2.944m "
                                       "&lt;&amp;&gt;")))
        << call.toStdString();
}

TEST(FreedesktopNotifier, NoServiceAndNoBusAreSilent) {
    {
        MockBus bus;
        ASSERT_TRUE(bus.ready());
        FreedesktopNotifier notifier(bus.connection(QStringLiteral("program")));
        QElapsedTimer timer;
        timer.start();
        notifier.notify("Pathtally", "nobody listens");
        EXPECT_LT(timer.elapsed(), 1000) << "the call does not wait for an answer";
    }
    // No bus announced at all: nothing is started, nothing waits.
    test::ScopedEnv noBus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    test::ScopedEnv noRuntime("XDG_RUNTIME_DIR", "/nonexistent");
    FreedesktopNotifier notifier;
    notifier.notify("Pathtally", "no bus");
}

}  // namespace
}  // namespace pt
