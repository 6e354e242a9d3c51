#pragma once

#include "settings/Settings.h"

#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;

namespace morvantis {

// The alert window of a message alarm: the importance sign and the text, OK and Snooze.
// It has no close box and the window manager's close does nothing; OK closes (and deletes) it,
// a snooze only hides it, so it keeps the text and sign it got when it was loaded. It reports
// OK and the snooze chosen; what they do to the alarm and the face is the clock's business.
class frmCustom : public QWidget {
    Q_OBJECT

public:
    // Loads at once: fills the text and the sign from the alarm record.
    explicit frmCustom(const Settings& settings, QWidget* parent = nullptr);

    void cmdOk_Click();
    void cmdSnooz_Click();
    void mnuSnooz1_Click() { snooze(1); }
    void mnuSnooz2_Click() { snooze(2); }
    void mnuSnooz5_Click() { snooze(5); }
    void mnuSnooz10_Click() { snooze(10); }
    void mnuSnooz15_Click() { snooze(15); }

signals:
    // OK or Snooze was pressed: the alarm's sound stops before either acts.
    void answered();
    // OK: the alarm is dismissed (the window then closes).
    void dismissed();
    // A snooze of this many minutes was chosen (the window then hides).
    void snoozed(int minutes);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void snooze(int minutes);

    const Settings& m_settings;

    QLabel* imgGreen;
    QLabel* imgYellow;
    QLabel* imgRed;
    QLabel* lblCustom;
    QPushButton* cmdSnooz;
    QPushButton* cmdOk;
    QMenu* mnuSnooz;
};

} // namespace morvantis
