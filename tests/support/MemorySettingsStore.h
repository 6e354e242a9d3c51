#pragma once

#include "platform/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace morvantis::test {

// An in-memory store with the real store's key matching (without regard to case).
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<std::string> read(const std::string& section, const std::string& key) override {
        auto it = m_values.find(fold(section + "/" + key));
        if (it == m_values.end())
            return std::nullopt;
        return it->second.second;
    }
    void write(const std::string& section, const std::string& key, const std::string& value) override {
        m_values[fold(section + "/" + key)] = {key, value};
        writes.push_back(key);
    }
    bool commit(std::string& error) override {
        ++commits;
        if (failCommit)
            error = "disk full";
        return !failCommit;
    }
    std::vector<std::string> writes; // keys in the order written
    int commits = 0;
    bool failCommit = false;
    std::size_t size() const { return m_values.size(); }

private:
    static std::string fold(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }
    std::map<std::string, std::pair<std::string, std::string>> m_values;
};

} // namespace morvantis::test
