#pragma once

#include <optional>
#include <string>

namespace morvantis {

// Per-user store of text values by section and key. Keys are matched without
// regard to letter case, on reading and on writing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key is absent.
    virtual std::optional<std::string> read(const std::string& section, const std::string& key) = 0;
    // Creates or replaces the value; a key stored under another spelling is replaced too.
    virtual void write(const std::string& section, const std::string& key, const std::string& value) = 0;
    // Makes the writes durable. False (with a reason) when the store could not be written;
    // the previous contents are then left intact.
    virtual bool commit(std::string& error) = 0;
};

} // namespace morvantis
