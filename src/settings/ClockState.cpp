#include "settings/ClockState.h"

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
    for (const SettingKey& key : kSettingKeys) {
        if (key.truth)
            set(key.truth, read.*key.truth);
        else if (key.integer)
            set(key.integer, read.*key.integer);
        else if (key.text)
            set(key.text, read.*key.text);
    }
    emit alarmSet();
}

void ClockState::setAlarm(const Settings& record) {
    set(&Settings::MusicHour, record.MusicHour);
    set(&Settings::MusicMin, record.MusicMin);
    set(&Settings::MusicSec, record.MusicSec);
    set(&Settings::MusicAMPM, record.MusicAMPM);
    set(&Settings::MusicDay, record.MusicDay);
    set(&Settings::MusicMonth, record.MusicMonth);
    set(&Settings::MusicYear, record.MusicYear);
    set(&Settings::MusicCustom, record.MusicCustom);
    set(&Settings::MusicBolShake, record.MusicBolShake);
    set(&Settings::MusicMessage, record.MusicMessage);
    set(&Settings::MusicCustomBol, record.MusicCustomBol);
    set(&Settings::GreenSign, record.GreenSign);
    set(&Settings::YellowSign, record.YellowSign);
    set(&Settings::RedSign, record.RedSign);
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
