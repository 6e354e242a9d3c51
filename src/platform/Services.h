#pragma once

namespace morvantis {

class Clock;
class SettingsStore;
class Files;
class Pictures;
class Shell;
class Prompts;

// The platform services, made once in main() and handed to the windows.
// (Sound joins them with its player.)
struct Services {
    Clock& clock;
    SettingsStore& store;
    Files& files;
    Pictures& pictures;
    Shell& shell;
    Prompts& prompts;
};

} // namespace morvantis
