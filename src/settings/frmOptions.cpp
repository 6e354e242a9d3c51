#include "settings/frmOptions.h"

#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"

#include "face/FaceElements.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "settings/OptionsRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace morvantis {

namespace {

constexpr std::string_view kWaveFilter = "Wave Files (*.wav)";
constexpr std::string_view kNotWaveText = "Not a wave file";
constexpr std::string_view kNotWaveTitle = "Invalid file";
// The client area: the groups and buttons with the groups' 120-twip margin around them.
constexpr int kWidthTwips = 6765;
constexpr int kHeightTwips = 3990;

template <class W> W* place(W* w, const char* name, const QRect& r) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(r);
    return w;
}

bool isChecked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

void check(QCheckBox* box, bool on) {
    box->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

// The path boxes take one of two system colours: the button face while unused, the window
// background while they can be typed in.
void setBackground(QLineEdit* box, QPalette::ColorRole systemColour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(QPalette::Active, systemColour));
    box->setPalette(p);
}

} // namespace

frmOptions::frmOptions(Services& services, ClockState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                             Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services), m_state(state) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(false);
    // The layout is fixed, in twips, for a small dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    setFixedSize(twipsSize(kWidthTwips, kHeightTwips));
    makeControls();
    Form_Load();
    // After loading, which shows what the face already shows: only a checked box counts, and the
    // face shows it now, not at its next tick.
    for (QCheckBox* box : {m_chkYear, m_chkDay, m_ChkDate, m_chkMonth})
        connect(box, &QCheckBox::stateChanged, this, [this] {
            m_state.previewDateFields(
                {isChecked(m_chkYear), isChecked(m_chkDay), isChecked(m_ChkDate), isChecked(m_chkMonth)});
        });
}

void frmOptions::makeControls() {
    m_fraStyle =
        place(new QGroupBox(QStringLiteral("Sty&le"), this), "fraStyle", twipsRect(120, 0, 2595, 2010));
    m_opt24 = place(new QRadioButton(QStringLiteral("&24 Hours"), m_fraStyle), "opt24",
                    twipsRect(720, 600, 1095, 345));
    m_optAMPM = place(new QRadioButton(QStringLiteral("&AM/PM"), m_fraStyle), "optAMPM",
                      twipsRect(720, 960, 1005, 330));
    m_chkHourly = place(new QCheckBox(QStringLiteral("&Hourly Sound"), m_fraStyle), "chkHourly",
                        twipsRect(240, 1560, 1815, 255));

    m_fraLCD =
        place(new QGroupBox(QStringLiteral("LCD Options"), this), "fraLCD", twipsRect(2820, 0, 3825, 2010));
    m_chkMonth = place(new QCheckBox(QStringLiteral("Show &Month"), m_fraLCD), "chkMonth",
                       twipsRect(180, 240, 1275, 315));
    m_ChkDate = place(new QCheckBox(QStringLiteral("Show &Date"), m_fraLCD), "ChkDate",
                      twipsRect(180, 540, 1665, 315));
    m_chkYear = place(new QCheckBox(QStringLiteral("Show &Year"), m_fraLCD), "chkYear",
                      twipsRect(180, 855, 1515, 315));
    m_chkDay = place(new QCheckBox(QStringLiteral("Show D&ay"), m_fraLCD), "chkDay",
                     twipsRect(1920, 240, 1425, 255));
    m_chkSec = place(new QCheckBox(QStringLiteral("Show Sec&ond"), m_fraLCD), "chkSec",
                     twipsRect(1920, 570, 1440, 195));
    m_chkBlink = place(new QCheckBox(QStringLiteral("&Blink Dots"), m_fraLCD), "chkBlink",
                       twipsRect(1920, 855, 1455, 255));
    m_lblShake = place(new QLabel(QStringLiteral("Shake S&peed"), m_fraLCD), "lblShake",
                       twipsRect(1320, 1250, 1095, 255));
    m_slider = place(new QSlider(Qt::Horizontal, m_fraLCD), "Slider1", twipsRect(120, 1440, 3615, 495));
    m_slider->setRange(0, 10);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(1);
    m_lblShake->setBuddy(m_slider);

    m_fraAlarm = place(new QGroupBox(QStringLiteral("Alarm &Sound"), this), "fraAlarm",
                       twipsRect(120, 2130, 3030, 1245));
    m_optADefault = place(new QRadioButton(QStringLiteral("De&fault"), m_fraAlarm), "optADefault",
                          twipsRect(75, 255, 2490, 255));
    m_optACustom = place(new QRadioButton(QStringLiteral("&Custom"), m_fraAlarm), "optACustom",
                         twipsRect(75, 585, 2505, 195));
    m_txtFileA = place(new QLineEdit(m_fraAlarm), "txtFileA", twipsRect(300, 840, 2205, 285));
    m_cmdShowA =
        place(new QPushButton(QStringLiteral("..."), m_fraAlarm), "cmdShowA", twipsRect(2550, 840, 360, 285));

    m_fraHourly = place(new QGroupBox(QStringLiteral("Hourly S&ound"), this), "fraHourly",
                        twipsRect(3240, 2115, 3390, 1275));
    m_optHDefault = place(new QRadioButton(QStringLiteral("D&efault"), m_fraHourly), "optHDefault",
                          twipsRect(120, 255, 2580, 240));
    m_optHCustom = place(new QRadioButton(QStringLiteral("C&ustom"), m_fraHourly), "optHCustom",
                         twipsRect(120, 555, 2745, 240));
    m_txtFileH = place(new QLineEdit(m_fraHourly), "txtFileH", twipsRect(345, 840, 2475, 300));
    m_cmdShowH = place(new QPushButton(QStringLiteral("..."), m_fraHourly), "cmdShowH",
                       twipsRect(2865, 840, 360, 285));

    m_cmdOK = place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", twipsRect(4080, 3495, 1095, 375));
    m_cmdCancel =
        place(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", twipsRect(5280, 3495, 1095, 375));
    // OK is the default button; Return elsewhere is handled in keyPressEvent.
    for (QPushButton* button : {m_cmdShowA, m_cmdShowH, m_cmdOK, m_cmdCancel})
        button->setAutoDefault(false);
    m_cmdOK->setDefault(true);

    // The desktop's font may run wider, and its check marks taller, than the ones the layout was
    // drawn for: no caption or box is cut off. A box grows about its middle, so rows stay apart.
    for (QAbstractButton* box : findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(box))
            continue;
        const QSize hint = box->sizeHint();
        const int height = std::max(box->height(), hint.height());
        box->setGeometry(box->x(), box->y() - (height - box->height()) / 2,
                         std::max(box->width(), hint.width()), height);
    }

    // The design-time state, which loading then overwrites from the settings.
    m_opt24->setChecked(true);
    m_optADefault->setChecked(true);
    m_optHDefault->setChecked(true);
    for (QCheckBox* box : {m_chkHourly, m_chkMonth, m_ChkDate, m_chkYear, m_chkDay, m_chkSec, m_chkBlink})
        box->setChecked(true);

    QWidget* const order[] = {m_opt24,       m_optAMPM,    m_chkHourly, m_chkMonth, m_ChkDate,
                              m_chkYear,     m_chkDay,     m_chkSec,    m_chkBlink, m_slider,
                              m_optADefault, m_optACustom, m_txtFileA,  m_cmdShowA, m_optHDefault,
                              m_optHCustom,  m_txtFileH,   m_cmdShowH,  m_cmdOK,    m_cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    m_alarm = {m_optADefault, m_optACustom, m_txtFileA, m_cmdShowA};
    m_hourly = {m_optHDefault, m_optHCustom, m_txtFileH, m_cmdShowH};

    // Selecting a choice, by the user or by loading, runs its effect.
    const auto onSelect = [this](QRadioButton* button, void (frmOptions::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelect(m_optADefault, &frmOptions::optADefault_Click);
    onSelect(m_optACustom, &frmOptions::optACustom_Click);
    onSelect(m_optHDefault, &frmOptions::optHDefault_Click);
    onSelect(m_optHCustom, &frmOptions::optHCustom_Click);
    connect(m_cmdShowA, &QPushButton::clicked, this, &frmOptions::cmdShowA_Click);
    connect(m_cmdShowH, &QPushButton::clicked, this, &frmOptions::cmdShowH_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
}

void frmOptions::Form_Load() {
    // 1. Centred on the screen.
    centreOnScreen(*this);
    // 2 to 8 fill the controls from the settings as they are now.
    loadControls();
}

void frmOptions::loadControls() {
    const Settings& loaded = m_state.settings();
    // 2. The path controls in line with the design-time choices.
    if (m_optADefault->isChecked())
        optADefault_Click();
    if (m_optHDefault->isChecked())
        optHDefault_Click();
    // 3. The slider holds 0 to 10: a stored value outside that shows at the nearer end.
    m_slider->setValue(loaded.ShakeSpeed);
    // 4, 5. The sound choices.
    loadChoice(m_alarm, loaded.DefaultAlarm, loaded.AlarmPath);
    loadChoice(m_hourly, loaded.DefaultSound, loaded.SoundPath);
    // 6 to 8.
    check(m_chkHourly, loaded.HourlyPlay);
    (loaded.Hours24 ? m_opt24 : m_optAMPM)->setChecked(true);
    check(m_chkSec, loaded.ShowSec);
    check(m_chkMonth, loaded.ShowMonth);
    check(m_ChkDate, loaded.ShowDate);
    check(m_chkDay, loaded.ShowDay);
    check(m_chkYear, loaded.ShowYear);
    check(m_chkBlink, loaded.Blink);
}

void frmOptions::loadChoice(const SoundChoice& choice, bool byDefault, const std::string& path) {
    if (byDefault) {
        // The box keeps whatever text it has.
        choice.byDefault->setChecked(true);
        choice.path->setEnabled(false);
        setBackground(choice.path, QPalette::Button);
    } else {
        choice.custom->setChecked(true);
        choice.path->setEnabled(true);
        setBackground(choice.path, QPalette::Base);
        choice.path->setText(QString::fromStdString(path));
    }
}

void frmOptions::showChoice(const SoundChoice& choice, bool byDefault) {
    choice.browse->setEnabled(!byDefault);
    choice.path->setEnabled(!byDefault);
    setBackground(choice.path, byDefault ? QPalette::Button : QPalette::Base);
}

void frmOptions::optADefault_Click() {
    showChoice(m_alarm, true);
}
void frmOptions::optACustom_Click() {
    showChoice(m_alarm, false);
}
void frmOptions::optHDefault_Click() {
    showChoice(m_hourly, true);
}
void frmOptions::optHCustom_Click() {
    showChoice(m_hourly, false);
}

void frmOptions::cmdShowA_Click() {
    browse(m_txtFileA);
}
void frmOptions::cmdShowH_Click() {
    browse(m_txtFileH);
}

void frmOptions::browse(QLineEdit* path) {
    // The file dialog runs an event loop: the program may end meanwhile and take this dialog along.
    const QPointer<frmOptions> alive(this);
    const std::string name = m_services.prompts.openFile(std::string(kWaveFilter)).value_or(std::string());
    if (!alive)
        return;
    // Cancelling gives an empty name, which is refused like any other.
    if (!isWaveFileName(name)) {
        m_services.prompts.message(std::string(kNotWaveText), std::string(kNotWaveTitle),
                                   Prompts::Icon::Information, Prompts::Buttons::Ok);
        return;
    }
    path->setText(QString::fromStdString(name));
}

void frmOptions::cmdOK_Click() {
    if (m_finished)
        return;
    const std::string folder = m_services.files.programFolder();
    const auto wave = [&](const SoundChoice& choice) {
        return choice.byDefault->isChecked() ? defaultWavePath(folder) : choice.path->text().toStdString();
    };
    m_state.set(&Settings::ShowSec, isChecked(m_chkSec));
    m_state.set(&Settings::AlarmPath, wave(m_alarm));
    m_state.set(&Settings::SoundPath, wave(m_hourly));
    m_state.set(&Settings::Hours24, m_opt24->isChecked());
    m_state.set(&Settings::ShowMonth, isChecked(m_chkMonth));
    m_state.set(&Settings::ShowDay, isChecked(m_chkDay));
    m_state.set(&Settings::HourlyPlay, isChecked(m_chkHourly));
    m_state.set(&Settings::ShowDate, isChecked(m_ChkDate));
    m_state.set(&Settings::ShowYear, isChecked(m_chkYear));
    m_state.set(&Settings::DefaultAlarm, m_optADefault->isChecked());
    m_state.set(&Settings::DefaultSound, m_optHDefault->isChecked());
    m_state.set(&Settings::ShakeSpeed, static_cast<std::int16_t>(m_slider->value()));
    m_state.set(&Settings::Blink, isChecked(m_chkBlink));
    finish();
}

void frmOptions::cmdCancel_Click() {
    finish();
}

void frmOptions::reject() {
    // Escape and the close box: nothing is stored.
    finish();
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A focused button answers for itself; on a check box Return does nothing, so that a user
        // going through the boxes does not close the dialog by mistake; anywhere else it is OK.
        QWidget* focused = focusWidget();
        auto* button = qobject_cast<QPushButton*>(focused);
        if (!button && !qobject_cast<QCheckBox*>(focused))
            button = m_cmdOK;
        if (button && button->isEnabled())
            button->click();
        return;
    }
    QDialog::keyPressEvent(event); // Escape: reject()
}

void frmOptions::closeEvent(QCloseEvent* event) {
    // Closed shown or hidden (the program's end closes every window): gone either way.
    finish();
    event->accept();
}

void frmOptions::finish() {
    if (m_finished)
        return;
    m_finished = true;
    hide();
    m_state.endPreview(); // after OK the settings hold what the boxes showed; else they are restored
    emit closed();
    deleteLater();
}

} // namespace morvantis
