#include "face/TimeRenderer.h"

#include <cstdio>
#include <string_view>

namespace morvantis {

FaceTexts readFaceTexts(const Clock& clock) {
    FaceTexts t;
    t.second = formatTime(clock.now(), TimeForm::Second2);
    t.minute = formatTime(clock.now(), TimeForm::Minute2);
    t.hour24 = formatTime(clock.now(), TimeForm::Hour24);
    t.hourAmPm = formatTime(clock.now(), TimeForm::HourAmPm2);
    t.year = formatTime(clock.now(), TimeForm::Year4);
    t.weekday = formatTime(clock.now(), TimeForm::WeekdayShort);
    t.day = formatTime(clock.now(), TimeForm::Day2);
    t.month = formatTime(clock.now(), TimeForm::Month2);
    return t;
}

namespace {

// Shows character c on a digit set; a character the set cannot show leaves it as it was.
void putDigit(FaceModel& face, FaceSet set, char c) {
    if (c < '0' || c > '9')
        return;
    const int member = setInfo(set).byValue[static_cast<std::size_t>(c - '0')];
    if (member < 0)
        return;
    face.showOnly(set, elementAt(static_cast<std::size_t>(member)));
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Weekday by its abbreviation compared in lower case; -1 when it is none of the seven.
int weekdayFromText(std::string_view text) {
    static constexpr std::string_view kOrder[] = {"sat", "sun", "mon", "tue", "wed", "thu", "fri"};
    static constexpr int kWeekday[] = {6, 0, 1, 2, 3, 4, 5};
    if (text.size() != 3)
        return -1;
    const char l[3] = {lower(text[0]), lower(text[1]), lower(text[2])};
    for (std::size_t i = 0; i < 7; ++i)
        if (std::string_view(l, 3) == kOrder[i])
            return kWeekday[i];
    return -1;
}

} // namespace

void renderFace(FaceModel& face, const FaceTexts& texts, const RenderOptions& options) {
    if (options.showSeconds) {
        putDigit(face, FaceSet::SecondUnits, texts.second.at(2));
        putDigit(face, FaceSet::SecondTens, texts.second.at(1));
    } else {
        face.hideSet(FaceSet::SecondTens);
        face.hideSet(FaceSet::SecondUnits);
        face.hide(Element::imgDDot2);
        face.hide(Element::imgDDot2_Off);
    }

    putDigit(face, FaceSet::MinuteUnits, texts.minute.at(2));
    putDigit(face, FaceSet::MinuteTens, texts.minute.at(1));

    if (options.hours24) {
        face.hide(Element::imgAM);
        face.hide(Element::imgPM);
        putDigit(face, FaceSet::HourUnits, texts.hour24.at(2));
        putDigit(face, FaceSet::HourTens, texts.hour24.at(1));
    } else {
        putDigit(face, FaceSet::HourUnits, texts.hourAmPm.at(2));
        putDigit(face, FaceSet::HourTens, texts.hourAmPm.at(1));
        const bool pm = texts.hourAmPm.at(4) == 'P';
        face.setVisible(Element::imgPM, pm);
        face.setVisible(Element::imgAM, !pm);
    }

    if (options.fields.year) {
        putDigit(face, FaceSet::YearUnits, texts.year.at(4));
        putDigit(face, FaceSet::YearTens, texts.year.at(3));
        putDigit(face, FaceSet::YearHundreds, texts.year.at(2));
        putDigit(face, FaceSet::YearThousands, texts.year.at(1));
    } else {
        face.hideSet(FaceSet::YearUnits);
        face.hideSet(FaceSet::YearTens);
        face.hideSet(FaceSet::YearHundreds);
        face.hideSet(FaceSet::YearThousands);
    }

    if (options.fields.weekday) {
        const int wd = weekdayFromText(texts.weekday.view());
        if (wd >= 0)
            face.showOnly(FaceSet::Weekday,
                          elementAt(static_cast<std::size_t>(
                              setInfo(FaceSet::Weekday).byValue[static_cast<std::size_t>(wd)])));
    } else {
        face.hideSet(FaceSet::Weekday);
    }

    if (options.fields.date) {
        putDigit(face, FaceSet::DayUnits, texts.day.at(2));
        putDigit(face, FaceSet::DayTens, texts.day.at(1));
    } else {
        face.hideSet(FaceSet::DayUnits);
        face.hideSet(FaceSet::DayTens);
    }

    if (options.fields.month) {
        putDigit(face, FaceSet::MonthUnits, texts.month.at(2));
        putDigit(face, FaceSet::MonthTens, texts.month.at(1));
    } else {
        face.hideSet(FaceSet::MonthUnits);
        face.hideSet(FaceSet::MonthTens);
    }
}

void blinkColons(FaceModel& face, bool showSeconds) {
    if (showSeconds) {
        const bool lit = !face.isVisible(Element::imgDDot2);
        face.setVisible(Element::imgDDot, lit);
        face.setVisible(Element::imgDDot2, lit);
    } else {
        face.setVisible(Element::imgDDot, !face.isVisible(Element::imgDDot));
    }
}

std::string displayedTime(const LocalTime& now, bool hours24, bool showSeconds) {
    const int hour = hours24 ? now.hour : (now.hour + 11) % 12 + 1;
    char text[16];
    int n = std::snprintf(text, sizeof text, hours24 ? "%02d:%02d" : "%d:%02d", hour, now.minute);
    if (showSeconds)
        n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ":%02d", now.second);
    if (!hours24)
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), now.hour < 12 ? " AM" : " PM");
    return text;
}

std::string displayedDate(const LocalTime& now, const DateFields& shown) {
    std::string date;
    const auto add = [&date](std::string_view part) {
        if (!date.empty())
            date += ' ';
        date += part;
    };
    if (shown.weekday)
        add(formatTime(now, TimeForm::WeekdayLong).view());
    if (shown.date)
        add(std::to_string(now.day));
    if (shown.month)
        add(formatTime(now, TimeForm::MonthLong).view());
    if (shown.year)
        add(formatTime(now, TimeForm::Year4).view());
    return date;
}

} // namespace morvantis
