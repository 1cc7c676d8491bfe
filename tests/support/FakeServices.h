#pragma once

#include <string>

#include "core/startup/MainPresenter.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt::test {

// Every platform service of the main presenter as a fake, and the presenter's services
// built from them. A fixture derives from it to reach the fakes by name.
struct FakeServices {
    MemorySettingsStore store;
    FakeClock clock;
    EnglishNumberFormat numbers;
    FakeSystemInfo system;
    FakeMessageBox messages;
    FakeShell shell;
    FakeAutostart autostart;
    FakeCursor cursor;
    FakeInput input;
    FakePower power;

    // The data file at `dataFile`; a real pointer or input source may stand in for the fakes.
    MainServices services(const std::string& dataFile, CursorSource* realCursor = nullptr,
                          InputEvents* realInput = nullptr) {
        return MainServices{store,
                            clock,
                            numbers,
                            system,
                            messages,
                            shell,
                            autostart,
                            realCursor ? *realCursor : cursor,
                            realInput ? *realInput : input,
                            power,
                            dataFile};
    }
};

}  // namespace pt::test
