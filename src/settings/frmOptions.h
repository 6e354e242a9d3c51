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
// the four date boxes on every tick, so the clock keeps one, hidden, almost all the time: its
// controls are built, from the settings it was loaded with, only when it is shown or asked for one.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Runs the loading steps: the dialog comes up hidden, filled from the settings.
    frmOptions(Services& services, const Settings& settings, QWidget* parent = nullptr);

    // The date boxes as the face reads them: only a checked box counts.
    DateFields dateFields();
    void setVisible(bool visible) override;

    void Form_Load();
    void optADefault_Click();
    void optACustom_Click();
    void optHDefault_Click();
    void optHCustom_Click();
    void cmdShowA_Click();
    void cmdShowH_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QRadioButton* opt24() const { return built(m_opt24); }
    QRadioButton* optAMPM() const { return built(m_optAMPM); }
    QCheckBox* chkHourly() const { return built(m_chkHourly); }
    QCheckBox* chkMonth() const { return built(m_chkMonth); }
    QCheckBox* ChkDate() const { return built(m_ChkDate); }
    QCheckBox* chkYear() const { return built(m_chkYear); }
    QCheckBox* chkDay() const { return built(m_chkDay); }
    QCheckBox* chkSec() const { return built(m_chkSec); }
    QCheckBox* chkBlink() const { return built(m_chkBlink); }
    QSlider* Slider1() const { return built(m_slider); }
    QRadioButton* optADefault() const { return built(m_optADefault); }
    QRadioButton* optACustom() const { return built(m_optACustom); }
    QLineEdit* txtFileA() const { return built(m_txtFileA); }
    QPushButton* cmdShowA() const { return built(m_cmdShowA); }
    QRadioButton* optHDefault() const { return built(m_optHDefault); }
    QRadioButton* optHCustom() const { return built(m_optHCustom); }
    QLineEdit* txtFileH() const { return built(m_txtFileH); }
    QPushButton* cmdShowH() const { return built(m_cmdShowH); }
    QPushButton* cmdOK() const { return built(m_cmdOK); }
    QPushButton* cmdCancel() const { return built(m_cmdCancel); }

signals:
    // OK: the settings with this dialog's values stored into them.
    void stored(const morvantis::Settings& changed);
    // The dialog is gone (OK, Cancel, Escape, the close box or the program's end); it deletes itself.
    void closed();
    // A date box was checked or cleared: the face shows it now, not at its next tick.
    void dateFieldsChanged();

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
    void buildControls() const;
    // A control, the controls built first if they are not yet.
    template <class W> W* built(W* const& control) const {
        buildControls();
        return control;
    }
    void build();
    void loadControls();
    void showChoice(const SoundChoice& choice, bool byDefault);
    void loadChoice(const SoundChoice& choice, bool byDefault, const std::string& path);
    void browse(QLineEdit* path);
    void finish();

    Services& m_services;
    const Settings& m_settings;
    Settings m_loaded; // the settings as loading found them
    bool m_finished = false;
    bool m_built = false;

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
