#include "settings/ClockState.h"

#include "platform/Files.h"

#include <utility>

namespace morvantis {

ClockState::ClockState(Settings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)) {}

DateFields ClockState::dateFields() const {
    if (m_preview)
        return *m_preview;
    return {m_settings.ShowYear, m_settings.ShowDay, m_settings.ShowDate, m_settings.ShowMonth};
}

void ClockState::previewDateFields(DateFields fields) {
    m_preview = fields;
    emit dateFieldsChanged();
}

void ClockState::endPreview() {
    if (!m_preview)
        return;
    m_preview.reset();
    emit dateFieldsChanged();
}

void ClockState::load(const Settings& read) {
    const Settings old = std::exchange(m_settings, read);
    for (const SettingKey& key : kSettingKeys) {
        const bool changed = key.truth     ? old.*key.truth != read.*key.truth
                             : key.integer ? old.*key.integer != read.*key.integer
                             : key.text    ? old.*key.text != read.*key.text
                                           : key.alarm == AlarmKey::Hour && old.alarm != read.alarm;
        if (changed)
            emit settingChanged(key.id);
    }
    emit alarmSet();
}

void ClockState::read(SettingsStore& store, const Files& files) {
    const std::string folder = files.programFolder();
    Settings read = m_settings;
    m_position = readSettings(store, read, folder);
    reformDefaultSounds(read, folder,
                        [&files](const std::string& path) { return files.resolve(path).has_value(); });
    load(read);
    emit loaded();
}

bool ClockState::save(SettingsStore& store, const Files& files, std::string& error) {
    set(&Settings::LightOn, m_light);
    emit saving();
    return writeSettings(store, m_settings, m_position.left.value_or(defaultPosition()),
                         m_position.top.value_or(defaultPosition()), files.programFolder(), error);
}

void ClockState::setAlarm(const AlarmRecord& record) {
    set(&Settings::alarm, record);
    emit alarmSet();
}

void ClockState::setLight(bool on) {
    if (m_light == on)
        return;
    m_light = on;
    emit lightChanged(on);
}

void ClockState::setCaption(std::string_view caption) {
    // Compared before it is copied: the unarmed tick sets the same caption ten times a second.
    if (m_caption == caption)
        return;
    m_caption.assign(caption);
    emit captionChanged(QString::fromStdString(m_caption));
}

} // namespace morvantis
