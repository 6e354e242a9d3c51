#pragma once

#include "face/TimeRenderer.h"
#include "platform/Services.h"
#include "settings/Settings.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace morvantis {

// The options: display, chime and sound files. It edits only its own controls; OK hands
// a changed copy of the settings to whoever listens (the clock applies it). Rendering reads
// the four date boxes on every tick, so the clock keeps one, hidden, almost all the time.
class frmOptions : public QDialog, public DateFieldSource {
    Q_OBJECT
public:
    // Runs the loading steps: the dialog comes up hidden, filled from the settings.
    frmOptions(Services& services, const Settings& settings, QWidget* parent = nullptr);

    // The date boxes as the face reads them: only a checked box counts.
    DateFields dateFields() override;

    void Form_Load();
    void optADefault_Click();
    void optACustom_Click();
    void optHDefault_Click();
    void optHCustom_Click();
    void cmdShowA_Click();
    void cmdShowH_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QRadioButton* opt24() const { return m_opt24; }
    QRadioButton* optAMPM() const { return m_optAMPM; }
    QCheckBox* chkHourly() const { return m_chkHourly; }
    QCheckBox* chkMonth() const { return m_chkMonth; }
    QCheckBox* ChkDate() const { return m_ChkDate; }
    QCheckBox* chkYear() const { return m_chkYear; }
    QCheckBox* chkDay() const { return m_chkDay; }
    QCheckBox* chkSec() const { return m_chkSec; }
    QCheckBox* chkBlink() const { return m_chkBlink; }
    QSlider* Slider1() const { return m_slider; }
    QRadioButton* optADefault() const { return m_optADefault; }
    QRadioButton* optACustom() const { return m_optACustom; }
    QLineEdit* txtFileA() const { return m_txtFileA; }
    QPushButton* cmdShowA() const { return m_cmdShowA; }
    QRadioButton* optHDefault() const { return m_optHDefault; }
    QRadioButton* optHCustom() const { return m_optHCustom; }
    QLineEdit* txtFileH() const { return m_txtFileH; }
    QPushButton* cmdShowH() const { return m_cmdShowH; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

signals:
    // OK: the settings with this dialog's values stored into them.
    void stored(const morvantis::Settings& changed);
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
    void build();
    void showChoice(const SoundChoice& choice, bool byDefault);
    void loadChoice(const SoundChoice& choice, bool byDefault, const std::string& path);
    void browse(QLineEdit* path);
    void finish();

    Services& m_services;
    const Settings& m_settings;
    bool m_finished = false;

    QGroupBox* m_fraStyle;
    QRadioButton* m_opt24;
    QRadioButton* m_optAMPM;
    QCheckBox* m_chkHourly;
    QGroupBox* m_fraLCD;
    QCheckBox* m_chkMonth;
    QCheckBox* m_ChkDate;
    QCheckBox* m_chkYear;
    QCheckBox* m_chkDay;
    QCheckBox* m_chkSec;
    QCheckBox* m_chkBlink;
    QLabel* m_lblShake;
    QSlider* m_slider;
    QGroupBox* m_fraAlarm;
    QRadioButton* m_optADefault;
    QRadioButton* m_optACustom;
    QLineEdit* m_txtFileA;
    QPushButton* m_cmdShowA;
    QGroupBox* m_fraHourly;
    QRadioButton* m_optHDefault;
    QRadioButton* m_optHCustom;
    QLineEdit* m_txtFileH;
    QPushButton* m_cmdShowH;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    SoundChoice m_alarm{};
    SoundChoice m_hourly{};
};

} // namespace morvantis
