#pragma once

#include "face/FaceModel.h" // kAlarmNotSet
#include "settings/Settings.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace morvantis {

// The clock's state: the settings, the alarm light and the alarm caption. Its setters are the
// only writers, and each change is announced: the face and the windows follow the announcements
// instead of sharing fields or handing back copies, so no copy can overwrite a newer change.
class ClockState : public QObject {
    Q_OBJECT
public:
    // The settings object the application keeps for the whole run.
    explicit ClockState(Settings& settings, QObject* parent = nullptr);

    const Settings& settings() const { return m_settings; }
    // The alarm light: lit while the alarm is armed. LightOn is its saved copy.
    bool light() const { return m_light; }
    const std::string& caption() const { return m_caption; }

    // One setting; announced when it changes.
    template <class T, class V> void set(T Settings::*field, V&& value) {
        if (m_settings.*field == value)
            return;
        m_settings.*field = std::forward<V>(value);
        emit settingChanged(keyOf(field));
    }
    // Every setting, as a start found them in the store.
    void load(const Settings& read);
    // The alarm record (time, date, action, message, importance) as it stands in record.
    void setAlarm(const Settings& record);
    void setLight(bool on);
    void setCaption(std::string_view caption);

signals:
    // The setting stored under this key ("ShowSec", "24Hours", ...) changed.
    void settingChanged(const QString& key);
    void lightChanged(bool on);
    void captionChanged(const QString& caption);
    // The alarm record was set or read, changed or not: when it rings next is worked out anew.
    void alarmSet();

private:
    static QString keyOf(bool Settings::*field);
    static QString keyOf(std::int16_t Settings::*field);
    static QString keyOf(std::string Settings::*field);

    Settings& m_settings;
    bool m_light = false;
    std::string m_caption{kAlarmNotSet};
};

} // namespace morvantis
