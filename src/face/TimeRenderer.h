#pragma once

#include "core/ClockText.h"
#include "face/FaceModel.h"
#include "platform/Clock.h"

#include <string>

namespace morvantis {

// The four date fields. While the options window is off screen they follow the
// settings; while it is open, its check boxes.
struct DateFields {
    bool year = true;
    bool weekday = true;
    bool date = true;
    bool month = true;
};

// The eight texts one render reads, each from a fresh clock reading.
struct FaceTexts {
    ClockText second;   // "ss"
    ClockText minute;   // "nn"
    ClockText hour24;   // "hh"
    ClockText hourAmPm; // "hh AMPM"
    ClockText year;     // "yyyy"
    ClockText weekday;  // "ddd"
    ClockText day;      // "dd"
    ClockText month;    // "mm"
};

struct RenderOptions {
    bool showSeconds = true;
    bool hours24 = true;
    DateFields fields;
};

FaceTexts readFaceTexts(const Clock& clock);

// Puts the texts on the face by switching element visibility only.
void renderFace(FaceModel& face, const FaceTexts& texts, const RenderOptions& options);

// One blink of the colons. With the seconds shown both colons switch together,
// following imgDDot2; otherwise only imgDDot blinks.
void blinkColons(FaceModel& face, bool showSeconds);

// What the display shows, in words a screen reader can say: the time ("1:45:07 PM", "13:45") and
// the date fields shown ("Sunday 23 September 2001").
std::string displayedTime(const LocalTime& now, bool hours24, bool showSeconds);
std::string displayedDate(const LocalTime& now, const DateFields& shown);

} // namespace morvantis
