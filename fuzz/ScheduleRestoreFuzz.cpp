// The shutdown schedule restored from any stored texts, at any clock time, then checked
// and counted down: never crashes, and never acts on a row that was not armed.

#include "FuzzInput.h"
#include "core/form/FormModel.h"
#include "core/shell/CommandTable.h"
#include "core/shutdown/ShutdownScheduler.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace {

constexpr const char* Names[] = {
    "AutoShutTime", "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",  "Text8",  "Text9",
    "Text10",       "Text11", "Text12", "Text13", "Text14", "Text15", "Text16", "Text17", "Text18",
    "Text19",       "check3", "check4", "check5", "check6", "check7", "check8", "check9"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pt::fuzz::FuzzInput in(data, size);
    pt::test::FakeClock clock;
    clock.setDate(2000 + static_cast<int>(in.byte() % 100), 1 + static_cast<int>(in.byte() % 12),
                  1 + static_cast<int>(in.byte() % 28));
    clock.setTime(static_cast<int>(in.byte() % 24), static_cast<int>(in.byte() % 60));
    const pt::Language lang = in.byte() % 2 ? pt::Language::Traditional : pt::Language::Simplified;
    const bool testMode = in.byte() % 2;
    const unsigned clicks = in.byte();

    pt::test::MemorySettingsStore store;
    bool anyArmed = false;
    for (const char* name : Names) {
        const std::string value = in.text();
        pt::WriteSetting(store, pt::MainKey, name, value);
        if (std::string_view(name).starts_with("check")) anyArmed |= !value.empty();
    }

    pt::FormModel form;
    pt::test::FakeMessageBox boxes;
    pt::test::FakePower power;
    int saves = 0;
    pt::CommandTable commands;
    pt::ShutdownScheduler scheduler(
        form, store, clock, boxes, power, lang, testMode, commands, [&saves] { ++saves; }, [] {},
        [](bool) {});
    scheduler.restoreSchedule();
    scheduler.checkSchedule();
    // Nothing stored armed: the check does nothing at all.
    if (!anyArmed && (!power.requests.empty() || saves != 0)) pt::fuzz::Broken();

    // The countdown from the stored minutes, when the input asks for it.
    if (clicks & 1) {
        form.setText(pt::ControlId{"Text1"},
                     store.read(pt::SettingsRoot::LocalMachine, pt::MainKey, "AutoShutTime"));
        form.checkedByUser(form.slot(pt::ControlId{"Check1"}), true);
        commands.run(pt::ControlId{"Check1"});
        commands.run(pt::ControlId{"Command1"});
        for (int i = 0; i < 3 && scheduler.countdownActive(); ++i) scheduler.onCountdownTick();
        commands.run(pt::ControlId{"Command2"});
    }
    for (pt::shutdown_controls::ClockRule rule : pt::shutdown_controls::ClockRules)
        (void)scheduler.armed(rule);
    return 0;
}
