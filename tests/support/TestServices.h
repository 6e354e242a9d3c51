#pragma once

#include "platform/QtFiles.h"
#include "platform/QtPictures.h"
#include "platform/Services.h"
#include "support/FakeClock.h"
#include "support/FakePrompts.h"
#include "support/FakeShell.h"
#include "support/FakeSound.h"
#include "support/MemorySettingsStore.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

namespace morvantis::test {

// Services for window tests: a settable clock, an in-memory store, scripted prompts, a sound
// that ends from the event loop, real files and pictures under a program folder of the test's
// choosing.
struct TestServices {
    explicit TestServices(std::string programFolder = {})
        : dir(), files(programFolder.empty() ? dir.path().toStdString() : std::move(programFolder)),
          services{clock, store, files, pictures, shell, prompts, sound} {
        // A sound is over as soon as the event loop runs, unless a test ends it itself
        // (endLater = nullptr, then sound.end()).
        sound.endLater = [this](std::function<void()> end) {
            QTimer::singleShot(0, &context, std::move(end));
        };
    }
    QObject context; // what is still to be delivered goes with the services
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
