#pragma once

#include "alarm/MusicRules.h"
#include "platform/Services.h"
#include "settings/ClockState.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace morvantis {

class TimeField;

// The alarm-setting dialog. Open it with open() on a new instance; it deletes itself when it
// closes, so every opening starts from the current date. OK and Cancel close it; so does the
// program's own unload(), which leaves the alarm as it is (neither stored nor disarmed). Any other
// close (a title bar's close button, the window manager, the compositor) is Cancel.
// What its controls change, it asks the clock's state for, at the moment they change it: an alarm
// that fires while it is open reads the chosen action at once, and a snooze from the alert above
// it is never overwritten.
class frmMusic : public QDialog {
    Q_OBJECT

public:
    frmMusic(Services& services, ClockState& state, QWidget* parent = nullptr);

    void Form_Load();
    void FillToday();
    void FillMonth();
    void FillYear();

    // Handlers.
    void cboFastSelect_Click();
    void cboFastSelect_GotFocus();
    void dateOrAmPm_GotFocus();
    void timeField_KeyPress();
    void timeField_GotFocus(TimeField* field);
    void txtSec_Change();
    void optShake_Click();
    void optWin_Click();
    void optCus_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // The program's own close.
    void unload();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MusicEntry entry() const;
    static void setFieldEnabled(QWidget* field, bool enabled);
    void chooseAction(bool shake, bool custom);

    Services& m_services;
    ClockState& m_state;
    // Set by the program's own ways out. Qt delivers a compositor's close (Wayland's
    // xdg_toplevel.close) through QWindow::close(), as it does the program's close(): the
    // event alone cannot tell them apart.
    bool m_ownClose = false;

    QGroupBox* fraTime;
    QComboBox* cboFastSelect;
    TimeField* txtHour;
    TimeField* txtMin;
    TimeField* txtSec;
    QComboBox* cboAmPm;
    QGroupBox* fraDate;
    QComboBox* cboDay;
    QComboBox* cboMonth;
    QComboBox* cboYear;
    QGroupBox* fraCustom;
    QRadioButton* optShake;
    QRadioButton* optWin;
    QRadioButton* optCus;
    QLineEdit* txtCustom;
    QGroupBox* fraImportance;
    QComboBox* cboImportance;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

} // namespace morvantis
