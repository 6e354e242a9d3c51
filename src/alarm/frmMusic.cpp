#include "alarm/frmMusic.h"

#include "alarm/AlarmRules.h"
#include "core/ClockText.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/QtTwips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <functional>

namespace morvantis {

// A time text field. It keeps where its caret stood when focus left (the start of a selection,
// the start of the field after code set its text), because Qt drops the selection on focus out
// and moves the caret to the end on setText.
class TimeField final : public QLineEdit {
public:
    explicit TimeField(QWidget* parent) : QLineEdit(parent) {
        connect(this, &QLineEdit::textChanged, this, [this] {
            if (!hasFocus())
                m_caret = 0;
        });
    }
    int caret() const { return m_caret; }
    // Focus given back after a message about the field: it comes back whole, selected.
    void revisit() {
        m_caret = 0;
        setFocus(Qt::OtherFocusReason);
        selectAll(); // it may have had the focus all along
    }
    std::function<void()> onKeyPress;
    std::function<void()> onGotFocus;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (typesText(*event) && onKeyPress)
            onKeyPress();
        QLineEdit::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        // Coming in from the keyboard (Tab, Shift+Tab, the label's access key) the caret stands at the
        // start, so the whole field is selected and typed digits replace it.
        const Qt::FocusReason reason = event->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason)
            m_caret = 0;
        QLineEdit::focusInEvent(event);
        // A context menu closing hands focus back; that is no new visit.
        if (event->reason() != Qt::PopupFocusReason && onGotFocus)
            onGotFocus();
    }
    void focusOutEvent(QFocusEvent* event) override {
        m_caret = hasSelectedText() ? selectionStart() : cursorPosition();
        QLineEdit::focusOutEvent(event);
    }

private:
    static bool typesText(const QKeyEvent& e) {
        switch (e.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return false;
        default:
            return !e.text().isEmpty();
        }
    }
    int m_caret = 0;
};

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QGroupBox* frame(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect geometry,
              QWidget* buddy = nullptr) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setBuddy(buddy);
    return l;
}

QComboBox* list(QWidget* parent, const char* name, QRect geometry, QStringList entries) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setGeometry(geometry);
    c->addItems(entries);
    c->setMaxVisibleItems(8);
    return c;
}

template <class Field> Field* field(QWidget* parent, const char* name, QRect geometry, int maxLength) {
    auto* f = new Field(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(geometry);
    f->setMaxLength(maxLength);
    return f;
}

QRadioButton* option(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* o = new QRadioButton(QString::fromUtf8(caption), parent);
    o->setObjectName(QLatin1String(name));
    o->setGeometry(geometry);
    return o;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

// The entry after the current-period one, whatever was selected: stepping through the list with
// the arrow keys passes several carrying entries, and each must not move the date again.
void showNext(QComboBox* list) {
    list->setCurrentIndex(std::min(1, list->count() - 1));
}

} // namespace

frmMusic::frmMusic(Services& services, ClockState& state, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_services(services), m_state(state) {
    setObjectName(QStringLiteral("frmMusic"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Alarm"));
    setFixedSize(twipsSize(6150, 2940));

    fraTime = frame(this, "fraTime", "&Time Adjust", {6, 2, 210, 88});
    cboFastSelect = list(fraTime, "cboFastSelect", {84, 18, 124, 22}, {});
    for (const char* entry : kFastSelectEntries)
        cboFastSelect->addItem(QString::fromUtf8(entry));
    label(fraTime, "lblFastSelect", "&Fast Select:", {8, 20, 74, 18}, cboFastSelect);
    txtHour = field<TimeField>(fraTime, "txtHour", {8, 60, 36, 22}, 2);
    txtMin = field<TimeField>(fraTime, "txtMin", {58, 60, 36, 22}, 2);
    txtSec = field<TimeField>(fraTime, "txtSec", {108, 60, 36, 22}, 2);
    cboAmPm = list(fraTime, "cboAmPm", {154, 60, 56, 22}, {QStringLiteral("AM"), QStringLiteral("PM")});
    label(fraTime, "lblHour", "&Hour", {8, 44, 46, 16}, txtHour);
    label(fraTime, "lblMin", "&Min", {58, 44, 46, 16}, txtMin);
    label(fraTime, "lblSec", "&Sec", {108, 44, 44, 16}, txtSec);
    label(fraTime, "lblAmPm", "&AM/PM", {154, 44, 56, 16}, cboAmPm);
    label(fraTime, "lblColon1", ":", {47, 60, 8, 22})->setAlignment(Qt::AlignCenter);
    label(fraTime, "lblColon2", ":", {97, 60, 8, 22})->setAlignment(Qt::AlignCenter);

    fraDate = frame(this, "fraDate", "Date A&djust", {222, 2, 182, 88});
    cboDay = list(fraDate, "cboDay", {54, 16, 120, 22}, {qs(kToday)});
    cboMonth = list(fraDate, "cboMonth", {54, 40, 120, 22}, {qs(kThisMonth)});
    cboYear = list(fraDate, "cboYear", {54, 64, 120, 22}, {qs(kThisYear)});
    label(fraDate, "lblDay", "Da&y", {8, 18, 44, 18}, cboDay);
    label(fraDate, "lblMonth", "Mont&h", {8, 42, 44, 18}, cboMonth);
    label(fraDate, "lblYear", "Yea&r", {8, 66, 44, 18}, cboYear);

    fraCustom = frame(this, "fraCustom", "Custom M&essage", {6, 92, 210, 100});
    optShake = option(fraCustom, "optShake", "Sha&ke the clock", {8, 16, 200, 18});
    optWin = option(fraCustom, "optWin", "Message &windows", {8, 34, 200, 18});
    optCus = option(fraCustom, "optCus", "C&ustom message", {8, 52, 200, 18});
    optWin->setChecked(true);
    txtCustom = field<QLineEdit>(fraCustom, "txtCustom", {8, 72, 194, 22}, 350);
    setFieldEnabled(txtCustom, false);

    fraImportance = frame(this, "fraImportance", "&Importance Adjust", {222, 92, 182, 62});
    cboImportance =
        list(fraImportance, "cboImportance", {8, 34, 166, 22},
             {QStringLiteral("Low(Green)"), QStringLiteral("Medium(Yellow)"), QStringLiteral("High(Red)")});
    label(fraImportance, "lblImportance", "Importa&nce", {8, 16, 166, 18}, cboImportance);
    setFieldEnabled(cboImportance, true);

    cmdOK = button(this, "cmdOK", "&OK", {246, 162, 76, 28});
    cmdOK->setDefault(true);
    cmdCancel = button(this, "cmdCancel", "&Cancel", {328, 162, 76, 28});

    // Group by group: time, date, action, importance, then the buttons.
    const QWidgetList order = {cboFastSelect, txtHour,   txtMin,        txtSec,   cboAmPm,
                               cboDay,        cboMonth,  cboYear,       optShake, optWin,
                               optCus,        txtCustom, cboImportance, cmdOK,    cmdCancel};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    cboFastSelect->setFocus();

    // Only the user's own choice applies fast select: the key and focus rules select the blank
    // entry from code and leave the minute as it is.
    connect(cboFastSelect, &QComboBox::activated, this, &frmMusic::cboFastSelect_Click);
    for (QWidget* w :
         QWidgetList{cboFastSelect, cboAmPm, cboDay, cboMonth, cboYear, optShake, optWin, optCus})
        w->installEventFilter(this);
    for (TimeField* f : {txtHour, txtMin, txtSec}) {
        f->onKeyPress = [this] { timeField_KeyPress(); };
        f->onGotFocus = [this, f] { timeField_GotFocus(f); };
    }
    connect(txtSec, &QLineEdit::textChanged, this, &frmMusic::txtSec_Change);
    connect(optShake, &QRadioButton::clicked, this, &frmMusic::optShake_Click);
    connect(optWin, &QRadioButton::clicked, this, &frmMusic::optWin_Click);
    connect(optCus, &QRadioButton::clicked, this, &frmMusic::optCus_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmMusic::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMusic::cmdCancel_Click);

    Form_Load();
}

// ---- Load ----

void frmMusic::Form_Load() {
    FillToday();
    FillMonth();
    FillYear();
    cboYear->setCurrentIndex(0);
    cboMonth->setCurrentIndex(0);
    cboDay->setCurrentIndex(0);
    cboAmPm->setCurrentIndex(0);
    cboImportance->setCurrentIndex(0);
    const LocalTime now = m_services.clock.now();
    const ClockText hour = formatTime(now, TimeForm::HourAmPm2);
    txtHour->setText(qs(hour.view().substr(0, 2)));
    txtMin->setText(qs(formatTime(now, TimeForm::Minute2).view()));
    txtSec->setText(qs(formatTime(now, TimeForm::Second2).view()));
    cboAmPm->setCurrentIndex(hour.at(4) == 'P' ? 1 : 0);
}

void frmMusic::FillToday() {
    for (const Weekday day : followingWeekdays(m_services.clock.now()))
        cboDay->addItem(qs(weekdayName(static_cast<int>(day))), static_cast<int>(day));
}

void frmMusic::FillMonth() {
    for (const Month month : followingMonths(m_services.clock.now()))
        cboMonth->addItem(qs(monthName(static_cast<int>(month))), static_cast<int>(month));
}

void frmMusic::FillYear() {
    for (const std::int16_t year : followingYears(m_services.clock.now()))
        cboYear->addItem(QString::number(year), year);
}

// ---- Time and date ----

void frmMusic::cboFastSelect_Click() {
    const FastSelect f = fastSelect(m_services.clock.now(), cboFastSelect->currentIndex());
    if (f.hour)
        txtHour->setText(QString::fromStdString(*f.hour));
    if (f.ampm != FastSelect::AmPm::Keep)
        cboAmPm->setCurrentIndex(f.ampm == FastSelect::AmPm::AM ? 0 : 1);
    if (f.nextDay)
        showNext(cboDay);
    if (f.nextMonth)
        showNext(cboMonth);
    if (f.nextYear)
        showNext(cboYear);
    txtMin->setText(QString::fromStdString(f.minute));
}

void frmMusic::cboFastSelect_GotFocus() {
    cboYear->setCurrentIndex(0);
    cboMonth->setCurrentIndex(0);
    cboDay->setCurrentIndex(0);
}

void frmMusic::dateOrAmPm_GotFocus() {
    cboFastSelect->setCurrentIndex(0);
}

void frmMusic::timeField_KeyPress() {
    cboFastSelect->setCurrentIndex(0);
}

void frmMusic::timeField_GotFocus(TimeField* field) {
    field->setSelection(field->caret(), 4);
}

void frmMusic::txtSec_Change() {
    if (minuteReadsZero(txtMin->text().toStdString()))
        txtMin->setText(QStringLiteral("00"));
}

bool frmMusic::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && qobject_cast<QRadioButton*>(watched)) {
        // Tabbing into the action group lands on the chosen action, as the arrow keys move from there.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* option = static_cast<QRadioButton*>(watched);
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && !option->isChecked()) {
            for (QRadioButton* o : {optShake, optWin, optCus})
                if (o->isChecked())
                    o->setFocus(reason);
        }
    } else if (event->type() == QEvent::FocusIn) {
        // Closing a list's drop-down or coming back from another window is no new visit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == cboFastSelect)
                cboFastSelect_GotFocus();
            else
                dateOrAmPm_GotFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Action ----

void frmMusic::setFieldEnabled(QWidget* field, bool enabled) {
    field->setEnabled(enabled);
    // The window colour while it can be used, the button face while it cannot.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    field->setPalette(palette);
}

void frmMusic::chooseAction(bool shake, bool custom) {
    // The window flag stays as it was: only OK writes it.
    AlarmRecord record = m_state.settings().alarm;
    record.action = (shake ? AlarmAction::Shake : AlarmAction::None) |
                    (record.acts(AlarmAction::Window) ? AlarmAction::Window : AlarmAction::None) |
                    (custom ? AlarmAction::Custom : AlarmAction::None);
    m_state.set(&Settings::alarm, std::move(record));
}

void frmMusic::optShake_Click() {
    chooseAction(true, false);
    setFieldEnabled(txtCustom, false);
    setFieldEnabled(cboImportance, false);
}

void frmMusic::optWin_Click() {
    chooseAction(false, false);
    setFieldEnabled(txtCustom, false);
    setFieldEnabled(cboImportance, true);
}

void frmMusic::optCus_Click() {
    chooseAction(false, true);
    setFieldEnabled(txtCustom, true);
    setFieldEnabled(cboImportance, true);
}

// ---- OK and Cancel ----

MusicEntry frmMusic::entry() const {
    MusicEntry e;
    e.hour = txtHour->text().toStdString();
    e.minute = txtMin->text().toStdString();
    e.second = txtSec->text().toStdString();
    e.am = cboAmPm->currentIndex() == 0;
    e.dayIndex = cboDay->currentIndex();
    e.day = Weekday(cboDay->currentData().toInt());
    e.monthIndex = cboMonth->currentIndex();
    e.month = Month(cboMonth->currentData().toInt());
    e.yearIndex = cboYear->currentIndex();
    e.year = static_cast<std::int16_t>(cboYear->currentData().toInt());
    e.importanceIndex = cboImportance->currentIndex();
    e.action = optShake->isChecked() ? MusicEntry::Action::Shake
               : optWin->isChecked() ? MusicEntry::Action::Window
                                     : MusicEntry::Action::Custom;
    e.custom = txtCustom->text().toStdString();
    return e;
}

void frmMusic::cmdOK_Click() {
    AlarmRecord changed = m_state.settings().alarm;
    const OkResult result = storeAlarm(changed, entry(), m_services.clock.now());
    // A refused entry keeps the fields it had written before the refusal, as the stored record did.
    m_state.setAlarm(changed);
    if (result != OkResult::Stored) {
        const OkMessage m = okMessage(result);
        m_services.prompts.message(std::string(m.text), std::string(m.title),
                                   m.information ? Prompts::Icon::Information : Prompts::Icon::None,
                                   Prompts::Buttons::Ok);
        if (result == OkResult::HourRange)
            txtHour->revisit();
        else if (result == OkResult::MinRange)
            txtMin->revisit();
        else if (result == OkResult::SecRange)
            txtSec->revisit();
        return;
    }
    m_state.setCaption(alarmCaption(changed, true));
    m_ownClose = true;
    done(QDialog::Accepted);
}

void frmMusic::cmdCancel_Click() {
    m_ownClose = true;
    m_state.setLight(false);
    done(QDialog::Rejected);
}

void frmMusic::unload() {
    m_ownClose = true;
    close();
}

void frmMusic::closeEvent(QCloseEvent* event) {
    if (!m_ownClose) {
        // Not the program's own close: the light must not stay lit over a record never stored.
        event->ignore();
        cmdCancel_Click();
        return;
    }
    QDialog::closeEvent(event);
}

void frmMusic::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel, which disarms; a plain close() only unloads the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace morvantis
