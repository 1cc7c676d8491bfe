// The program itself under its own X server with a notification service on a private bus
// (python3-dbusmock's notification daemon): a run that beats the best kept from earlier
// runs tells the desktop once; the Options switch keeps it quiet.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/DBusMockBus.h"
#include "support/ProgramRun.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const QString NotificationService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationPath = QStringLiteral("/org/freedesktop/Notifications");

class NotificationsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::TestFolder().empty()) << "run through run-test.sh --xvfb";
        work = test::TestFolder() / "pathtally";
        fs::create_directories(work);
        // A store of its own: no best left by the other tests' runs is beaten by chance.
        config = work.parent_path() / "config";
        fs::create_directories(config / "pathtally");
        ASSERT_TRUE(bus.ready());
        ASSERT_TRUE(
            bus.startMock({QStringLiteral("--template"), QStringLiteral("notification_daemon")},
                          NotificationService));
    }
    void setSetting(const char* name, const char* value) {
        SqliteSettingsStore store((config / "pathtally" / "settings.db").string());
        store.write(SettingsRoot::LocalMachine, MainKey, name, value);
    }
    // Runs the program, clicks three times over the desktop and lets it tick; returns the
    // notices that reached the service.
    QStringList runAndClick() {
        test::ProgramRun run(work, {{"XDG_DATA_HOME", work.parent_path().string()},
                                    {"XDG_CONFIG_HOME", config.string()},
                                    {"DBUS_SESSION_BUS_ADDRESS", bus.address.toStdString()}});
        EXPECT_TRUE(run.waitForWindow()) << run.output();
        test::Shell("xdotool mousemove 1200 1000 click --repeat 3 --delay 40 1");
        QStringList notices;
        // The notice follows the next one-second tick; the quiet run waits as long.
        const auto end = std::chrono::steady_clock::now() + 4s;
        while (std::chrono::steady_clock::now() < end && notices.isEmpty()) {
            notices = bus.calls(NotificationService, NotificationPath).filter("Notify(");
            std::this_thread::sleep_for(100ms);
        }
        run.stop();
        return notices;
    }

    test::MockBus bus;
    fs::path work, config;
};

TEST_F(NotificationsE2E, ABestBeatenIsToldUnlessSwitchedOff) {
    // Earlier runs left a best of two clicks in one run.
    setSetting("MaxTotalClick", "2");
    setSetting("MaxTotalClickDate", "2026-12-01");
    const QStringList notices = runAndClick();
    ASSERT_EQ(notices.size(), 1) << notices.join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(notices.first().startsWith(
        QStringLiteral("Notify(Pathtally, 0, net.pathtally.Pathtally, Pathtally, ")))
        << notices.first().toStdString();
    EXPECT_TRUE(notices.first().contains(QStringLiteral(" 3 "))) << notices.first().toStdString();

    // Switched off in Options (the stored value): the next run beats its best silently.
    ASSERT_TRUE(bus.control(NotificationService, NotificationPath, QStringLiteral("ClearCalls"), {})
                    .type() == QDBusMessage::ReplyMessage);
    setSetting("MaxTotalClick", "2");
    setSetting("Notify", "0");
    EXPECT_TRUE(runAndClick().isEmpty());
}

}  // namespace
}  // namespace pt
