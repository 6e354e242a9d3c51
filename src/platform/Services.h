#pragma once

namespace morvantis {

class Clock;
class SettingsStore;
class Files;
class Pictures;
class Shell;
class Prompts;
class Sound;

// The platform services, made once in main() and handed to the windows.
struct Services {
    Clock& clock;
    SettingsStore& store;
    Files& files;
    Pictures& pictures;
    Shell& shell;
    Prompts& prompts;
    Sound& sound;
};

} // namespace morvantis
