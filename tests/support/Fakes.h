#pragma once

// In-memory stand-ins for the platform interfaces, shared by every core test.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/AutostartEntry.h"
#include "core/ports/Browser.h"
#include "core/ports/Clock.h"
#include "core/ports/CursorSource.h"
#include "core/ports/InputEvents.h"
#include "core/ports/MessageBox.h"
#include "core/ports/NumberFormat.h"
#include "core/ports/Power.h"
#include "core/ports/Shell.h"
#include "core/ports/SystemInfo.h"

namespace pt::test {

// A settable clock. Dates are written as yyyy-mm-dd (d/m/yyyy with dayFirst, as a locale
// might), times as hh:mm:ss; both date forms are read.
class FakeClock : public Clock {
public:
    LocalTime time{2026, 12, 8, 21, 30, 0, 3};  // a Tuesday
    std::uint64_t bootMs = 0;
    std::string weekday = "星期二";
    bool dayFirst = false;

    LocalTime now() const override { return time; }
    std::string shortDate() const override;
    std::string timeText() const override;
    std::string shortTimeText() const override { return timeText().substr(0, 5); }
    std::string generalDate() const override { return shortDate() + " " + timeText(); }
    std::string weekdayName() const override { return weekday; }
    std::uint64_t millisecondsSinceBoot() const override { return bootMs; }
    std::optional<CalendarDate> readDate(const std::string& text) const override;
    std::string dateText(const CalendarDate& date) const override;

    // Sets the date and derives the weekday (1 = Sunday).
    void setDate(int year, int month, int day);
    void setTime(int hour, int minute, int second = 0);
};

// English number settings: "," groups of three, "." decimals, leading zero.
class EnglishNumberFormat : public NumberFormat {
public:
    std::string decimalSeparator() const override { return "."; }
    std::string groupSeparator() const override { return ","; }
};

class FakeCursor : public CursorSource {
public:
    // Queues a reading for the next take(); nullopt simulates a failed read.
    void push(std::optional<CursorReading> reading) { m_queue.push_back(reading); }
    std::optional<CursorReading> take() override;

private:
    std::deque<std::optional<CursorReading>> m_queue;
};

class FakeInput : public InputEvents {
public:
    ButtonSink buttons;
    KeySink keys;
    int installs = 0, removes = 0;
    bool installMouseHook(ButtonSink sink) override;
    void removeMouseHook() override;
    bool connectKeys(KeySink sink) override;
    void disconnectKeys() override { keys = nullptr; }
};

// Records every box shown and answers from a script (default: the default button).
class FakeMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text, title;
        MsgButtons buttons;
        MsgIcon icon;
        MsgDefault defaultButton;
        bool waited = true;  // false for a box that returned at once (notify)
    };
    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;

    MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                   MsgIcon icon, MsgDefault defaultButton) override;
    void notify(const std::string& text, const std::string& title, MsgIcon icon) override {
        shown.push_back({text, title, MsgButtons::Ok, icon, MsgDefault::First, false});
    }
};

class FakeShell : public Shell {
public:
    std::vector<std::string> opened;
    void open(const std::string& address) override { opened.push_back(address); }
};

// Answers every request with `result`: at once, or only when answer() is called while
// `answerLater` is set (a system that takes its time).
class FakePower : public Power {
public:
    std::vector<PowerAction> requests;
    int privilegeCalls = 0;
    PowerResult result{true, {}, {}};
    bool answerLater = false;
    void enablePrivilege() override { ++privilegeCalls; }
    void request(PowerAction action, std::function<void(const PowerResult&)> done) override {
        requests.push_back(action);
        if (answerLater)
            m_waiting.push_back(std::move(done));
        else
            done(result);
    }
    // Answers the requests still waiting; false when none was.
    bool answer() {
        auto waiting = std::move(m_waiting);
        m_waiting.clear();
        for (auto& done : waiting) done(result);
        return !waiting.empty();
    }

private:
    std::vector<std::function<void(const PowerResult&)>> m_waiting;
};

class FakeAutostart : public AutostartEntry {
public:
    std::string value;
    int writes = 0;
    std::string read() override { return value; }
    void write(const std::string& path) override {
        value = path;
        ++writes;
    }
};

class FakeSystemInfo : public SystemInfo {
public:
    std::string computer = "DESKTOP-1";
    std::string user = "alice";
    std::string folder = "/opt/pathtally";
    std::string exe = "/opt/pathtally/pathtally";
    int locale = 2052;
    std::string computerName() override { return computer; }
    std::string userName() override { return user; }
    std::string programFolder() override { return folder; }
    std::string executablePath() override { return exe; }
    int systemLocaleId() override { return locale; }
};

// An embedded page that records where it was sent; tests set the title it has loaded.
class FakeBrowser : public Browser {
public:
    std::vector<std::string> navigations;
    std::string pageTitle;
    std::function<void(const std::string&)> titleHandler;

    void navigate(const std::string& url) override { navigations.push_back(url); }
    std::string title() const override { return pageTitle; }
    void onTitleChanged(std::function<void(const std::string&)> handler) override {
        titleHandler = std::move(handler);
    }
    // The page finished loading with this title.
    void setTitle(const std::string& title) {
        pageTitle = title;
        if (titleHandler) titleHandler(title);
    }
};

}  // namespace pt::test
