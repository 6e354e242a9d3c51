// A whole settings file, as a user may have edited it, read through the QSettings store:
// reading never fails, and saving what was read gives a file that reads back the same.

#include "FuzzSupport.h"
#include "platform/QtSettingsStore.h"
#include "settings/SettingsFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace morvantis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh name each time: QSettings caches parsed files by name and modification time.
    static unsigned serial = 0;
    const auto path = fuzz::scratch() / ("Morvantis" + std::to_string(++serial) + ".conf");
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const QString file = QString::fromStdString(path.string());
    const std::string folder = "/opt/morvantis";

    Settings first;
    StoredPosition where;
    {
        QtSettingsStore store(file);
        where = readSettings(store, first, folder);
        std::string error;
        fuzz::check(writeSettings(store, first, where.left.value_or(defaultPosition()),
                                  where.top.value_or(defaultPosition()), folder, error),
                    "the settings read can be saved");
    }
    Settings second;
    QtSettingsStore again(file);
    const StoredPosition whereAgain = readSettings(again, second, folder);
    fuzz::check(second == first, "every saved value reads back the same");
    fuzz::check(whereAgain.left == where.left.value_or(1500) && whereAgain.top == where.top.value_or(1500),
                "the saved position reads back the same");
    for (const SettingKey& key : kSettingKeys)
        fuzz::check(again.read(std::string(kSettingsSection), std::string(key.name)).has_value(),
                    "a save writes every key");

    std::filesystem::remove(path);
    std::filesystem::remove(path.string() + ".lock");
    return 0;
}
