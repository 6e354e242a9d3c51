#pragma once

// Where the clock window places each skin picture, in pixels. The art is drawn
// at exactly these sizes, and the panel's unlit segments are drawn where the
// digits will land, so these must match the face layout.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace geo {

inline constexpr QSize kWindow{575, 240};
inline constexpr QRect kLcd{142, 41, 288, 134};

inline constexpr QSize kBigDigitSize{33, 47};
inline constexpr QSize kSmallDigitSize{16, 22};
inline constexpr QSize kWeekdaySize{49, 22};
inline constexpr QSize kMarkSize{19, 10}; // AM, PM
inline constexpr QSize kColonSize{10, 21};
inline constexpr QSize kLightSize{17, 17};
inline constexpr QSize kAlarmButtonSize{50, 23};
inline constexpr QSize kOptionButtonSize{85, 22};
inline constexpr QSize kSmallButtonSize{91, 12};

// Hour tens, hour units, minute tens, minute units, second tens, second units.
inline constexpr int kBigDigitX[6] = {178, 211, 259, 292, 340, 373};
inline constexpr int kBigDigitY = 70;
inline constexpr QPoint kColon1{245, 91};
inline constexpr QPoint kColon2{326, 91};
inline constexpr QPoint kAm{152, 94};
inline constexpr QPoint kPm{152, 108};

inline constexpr int kDateY = 142;
inline constexpr int kMonthTensX = 151; // the "1"; the blank sits one pixel left
inline constexpr int kMonthUnitsX = 167;
inline constexpr int kDayTensX = 209; // "1", "3" and blank; "2" sits one pixel right
inline constexpr int kDayTensTwoX = 210;
inline constexpr int kDayUnitsX = 225;
inline constexpr int kWeekdayX = 279;
inline constexpr int kYearX[4] = {353, 369, 386, 403};

inline constexpr QPoint kLightPos{40, 33};
inline constexpr QPoint kAlarmButtonPos{61, 30};
inline constexpr QPoint kOptionsButton{25, 152};
inline constexpr QPoint kExitButton{467, 167};
inline constexpr QPoint kMonthButton{464, 33}; // opens the skins
inline constexpr QPoint kDateButton{464, 64};  // speaks the time
inline constexpr QPoint kYearButton{464, 98};  // opens the about window
inline constexpr QRect kCaption{152, 48, 273, 17};

// A window position expressed in the panel picture's own coordinates.
inline constexpr QPoint onPanel(QPoint window) {
    return window - kLcd.topLeft();
}

} // namespace geo
