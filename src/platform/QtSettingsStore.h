#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace morvantis {

// The per-user store: QSettings in the platform's native format under organisation
// and application "Morvantis" (on Linux $XDG_CONFIG_HOME/Morvantis/Morvantis.conf, on
// Windows the registry key HKEY_CURRENT_USER\Software\Morvantis\Morvantis).
// QSettings compares keys with case on Linux; matching without case is done here.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // An INI file at an explicit path instead of the per-user location.
    explicit QtSettingsStore(const QString& filePath);
    ~QtSettingsStore() override;

    std::optional<std::string> read(const std::string& section, const std::string& key) override;
    void write(const std::string& section, const std::string& key, const std::string& value) override;
    bool commit(std::string& error) override;

    QString fileName() const;
    // How long a save waits for another program's lock on the file.
    static constexpr int kLockWait = 2000;

private:
    std::unique_ptr<QSettings> open();
    void apply(const QString& section, const QString& key, const QString& value);
    // Every stored spelling of section/key, matched without regard to case; an exact match comes first.
    QStringList spellingsOf(const QString& section, const QString& key) const;

    QString m_filePath; // empty: the per-user native store
    std::unique_ptr<QSettings> m_settings;
    // The stored groups and their keys, listed once for all the reads until QSettings changes.
    mutable std::optional<std::vector<std::pair<QString, QStringList>>> m_keys;
    // The writes not yet saved, one per key, given to QSettings only when a save goes ahead.
    // QSettings keeps reporting an error once one has happened (also a malformed line met
    // while loading), so after one the next save starts from a fresh QSettings.
    struct Unsaved {
        QString section, key, value;
    };
    std::vector<Unsaved> m_unsaved;
    Unsaved* unsaved(const QString& section, const QString& key);
    bool m_reopen = false;
    // The file holds a value QSettings would decode as data, and it could not be mended.
    bool m_unsafe = false;
};

} // namespace morvantis
