#pragma once

#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "platform/Services.h"
#include "support/FakeClock.h"
#include "support/FakePrompts.h"
#include "support/FakeShell.h"
#include "support/FakeSound.h"
#include "support/MemorySettingsStore.h"

#include <QTemporaryDir>

namespace morvantis::test {

// Services for window tests: a settable clock, an in-memory store, scripted prompts,
// real files and pictures under a program folder of the test's choosing.
struct TestServices {
    explicit TestServices(std::string programFolder = {})
        : dir(), files(programFolder.empty() ? dir.path().toStdString() : std::move(programFolder)),
          services{clock, store, files, pictures, shell, prompts, sound} {}
    QTemporaryDir dir;
    FakeClock clock{2001, 9, 23, 13, 45, 7};
    MemorySettingsStore store;
    QtFiles files;
    QtPictures pictures;
    FakeShell shell;
    FakePrompts prompts;
    FakeSound sound;
    Services services;
};

} // namespace morvantis::test
