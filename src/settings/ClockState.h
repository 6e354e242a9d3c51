#pragma once

#include "face/TimeRenderer.h" // DateFields
#include "settings/Settings.h"
#include "settings/SettingsFormat.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace morvantis {

class Files;
class SettingsStore;

// The clock's state: the settings, the alarm light and the alarm caption. It holds the only copy
// of the settings; its setters are the only writers, and each change is announced: the face and
// the windows follow the announcements instead of sharing fields or handing back copies, so no
// copy can overwrite a newer change.
class ClockState : public QObject {
    Q_OBJECT
public:
    explicit ClockState(Settings settings = {}, QObject* parent = nullptr);

    const Settings& settings() const { return m_settings; }
    // The alarm light: lit while the alarm is armed. LightOn is its saved copy.
    bool light() const { return m_light; }
    // Empty until the alarm's state is first derived.
    const std::string& caption() const { return m_caption; }
    // The date fields the face shows: the options dialog's boxes while they are previewed, which
    // act on the face before its OK, else the settings.
    DateFields dateFields() const;

    // One setting; announced when it changes. The member is named at the call (&Settings::Blink).
    void set(SettingField<bool> field, bool value) { assign(field, value); }
    void set(SettingField<std::int16_t> field, std::int16_t value) { assign(field, value); }
    void set(SettingField<std::string> field, std::string value) { assign(field, std::move(value)); }
    // The alarm record as a setting: when it rings is not worked out anew (the option buttons).
    void set(SettingField<AlarmRecord> field, AlarmRecord value) { assign(field, std::move(value)); }
    // Every setting, as a start found them in the store.
    void load(const Settings& read);
    // Every setting and the window position as a start reads them from the store: an absent key
    // takes its default, a default sound no longer found is formed again from the program folder.
    // Announced as load announces them, then loaded.
    void read(SettingsStore& store, const Files& files);
    // Writes every setting, the light as LightOn and the window position (asked for by saving),
    // and commits. False, with the reason in error, when the store could not be written.
    bool save(SettingsStore& store, const Files& files, std::string& error);
    // The window position in twips; nothing for a coordinate the store held no number for.
    const StoredPosition& position() const { return m_position; }
    void setPosition(float left, float top) { m_position = {left, top}; }
    // The alarm record (time, date, action, message, importance), whole; when it rings is worked
    // out anew.
    void setAlarm(const AlarmRecord& record);
    void setLight(bool on);
    void setCaption(std::string_view caption);
    // The date boxes of an open options dialog, shown on the face until the preview ends.
    void previewDateFields(DateFields fields);
    void endPreview();

signals:
    // This setting changed.
    void settingChanged(morvantis::SettingId key);
    void lightChanged(bool on);
    void captionChanged(const QString& caption);
    // The alarm record was set or read, changed or not: when it rings next is worked out anew.
    void alarmSet();
    // A preview began, changed or ended: the face's date fields may differ.
    void dateFieldsChanged();
    // The store was read: the window takes its place, the alarm its light and caption.
    void loaded();
    // The store is about to be written: the window puts in where it stands.
    void saving();

private:
    template <class T, class V> void assign(SettingField<T> field, V&& value) {
        if (m_settings.*field.field == value)
            return;
        m_settings.*field.field = std::forward<V>(value);
        emit settingChanged(field.id);
    }

    Settings m_settings;
    StoredPosition m_position;
    bool m_light = false;
    std::string m_caption;
    std::optional<DateFields> m_preview;
};

} // namespace morvantis
