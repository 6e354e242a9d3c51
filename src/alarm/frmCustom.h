#pragma once

#include "face/FaceModel.h"
#include "platform/Clock.h"
#include "settings/Settings.h"

#include <QWidget>

#include <optional>

class QLabel;
class QMenu;
class QPushButton;

namespace morvantis {

// The alert window of a message alarm: the importance sign and the text, OK and Snooze.
// It has no close box and the window manager's close does nothing; OK closes (and deletes) it,
// a snooze only hides it, so it keeps the text and sign it got when it was loaded.
class frmCustom : public QWidget {
    Q_OBJECT

public:
    // Loads at once: fills the text and the sign from the alarm record.
    frmCustom(Settings& settings, FaceModel& face, const Clock& clock, QWidget* parent = nullptr);

    // The alarm went off for this moment; a snooze past midnight counts the next day from it.
    void alarmFired(const LocalTime& moment) { m_firedOn = moment; }

    void cmdOk_Click();
    void cmdSnooz_Click();
    void mnuSnooz1_Click() { snooze(1); }
    void mnuSnooz2_Click() { snooze(2); }
    void mnuSnooz5_Click() { snooze(5); }
    void mnuSnooz10_Click() { snooze(10); }
    void mnuSnooz15_Click() { snooze(15); }

signals:
    // The alarm light or the caption on the face changed.
    void faceChanged();
    // OK or Snooze was pressed: the alarm's sound stops before either acts.
    void answered();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void snooze(int minutes);

    Settings& m_settings;
    FaceModel& m_face;
    const Clock& m_clock;
    std::optional<LocalTime> m_firedOn;

    QLabel* imgGreen;
    QLabel* imgYellow;
    QLabel* imgRed;
    QLabel* lblCustom;
    QPushButton* cmdSnooz;
    QPushButton* cmdOk;
    QMenu* mnuSnooz;
};

} // namespace morvantis
