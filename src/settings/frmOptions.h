#pragma once

#include <QDialog>
#include "platform/Services.h"
#include "settings/ClockState.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace morvantis {

// The options: display, chime and sound files. It edits only its own controls; OK asks the
// clock's state for each setting they hold. The four date boxes act on the face before OK: while
// the dialog is open the state previews them. It is made when it is opened, and filled from the
// settings as they are then.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Makes the controls and runs the loading steps: the dialog comes up hidden, filled from the
    // settings.
    frmOptions(Services& services, ClockState& state, QWidget* parent = nullptr);

    void Form_Load();
    void optADefault_Click();
    void optACustom_Click();
    void optHDefault_Click();
    void optHCustom_Click();
    void cmdShowA_Click();
    void cmdShowH_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

signals:
    // The dialog is gone (OK, Cancel, Escape, the close box or the program's end); it deletes itself.
    void closed();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // One sound choice: Default or Custom, the path box and its browse button.
    struct SoundChoice {
        QRadioButton* byDefault;
        QRadioButton* custom;
        QLineEdit* path;
        QPushButton* browse;
    };
    void makeControls();
    void loadControls();
    void showChoice(const SoundChoice& choice, bool byDefault);
    void loadChoice(const SoundChoice& choice, bool byDefault, const std::string& path);
    void browse(QLineEdit* path);
    void finish();

    Services& m_services;
    ClockState& m_state;
    bool m_finished = false;

    QGroupBox* m_fraStyle = nullptr;
    QRadioButton* m_opt24 = nullptr;
    QRadioButton* m_optAMPM = nullptr;
    QCheckBox* m_chkHourly = nullptr;
    QGroupBox* m_fraLCD = nullptr;
    QCheckBox* m_chkMonth = nullptr;
    QCheckBox* m_ChkDate = nullptr;
    QCheckBox* m_chkYear = nullptr;
    QCheckBox* m_chkDay = nullptr;
    QCheckBox* m_chkSec = nullptr;
    QCheckBox* m_chkBlink = nullptr;
    QLabel* m_lblShake = nullptr;
    QSlider* m_slider = nullptr;
    QGroupBox* m_fraAlarm = nullptr;
    QRadioButton* m_optADefault = nullptr;
    QRadioButton* m_optACustom = nullptr;
    QLineEdit* m_txtFileA = nullptr;
    QPushButton* m_cmdShowA = nullptr;
    QGroupBox* m_fraHourly = nullptr;
    QRadioButton* m_optHDefault = nullptr;
    QRadioButton* m_optHCustom = nullptr;
    QLineEdit* m_txtFileH = nullptr;
    QPushButton* m_cmdShowH = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    SoundChoice m_alarm{};
    SoundChoice m_hourly{};
};

} // namespace morvantis
