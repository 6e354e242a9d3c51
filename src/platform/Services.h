#pragma once

namespace morvantis {

class Clock;
class SettingsStore;
class Files;
class Pictures;
class Sound;
class Shell;
class Prompts;

// The platform services, made once in main() and handed to the windows.
struct Services {
    Clock& clock;
    SettingsStore& store;
    Files& files;
    Pictures& pictures;
    Sound& sound;
    Shell& shell;
    Prompts& prompts;
};

} // namespace morvantis
