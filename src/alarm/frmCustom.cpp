#include "alarm/frmCustom.h"

#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>

namespace morvantis {

namespace {

QLabel* sign(QWidget* parent, const char* name, const char* picture) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(twipsRect(165, 240, 585, 585));
    label->setPixmap(QPixmap(QString::fromLatin1(picture)));
    label->setScaledContents(true);
    label->hide();
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, int left) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(twipsRect(left, 1440, 975, 375));
    return b;
}

} // namespace

frmCustom::frmCustom(const Settings& settings, QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings) {
    setObjectName(QStringLiteral("frmCustom"));
    setWindowTitle(QStringLiteral("Custom Message"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsSize(6405, 1875));

    imgGreen = sign(this, "imgGreen", ":/img/green.gif");
    imgYellow = sign(this, "imgYellow", ":/img/yellow.gif");
    imgRed = sign(this, "imgRed", ":/img/red.gif");

    // A message of up to 350 characters is longer than the label's box: the box scrolls.
    auto* box = new QScrollArea(this);
    box->setObjectName(QStringLiteral("lblCustomBox"));
    box->setGeometry(twipsRect(960, 240, 5190, 1095));
    box->setFrameShape(QFrame::NoFrame);
    box->setWidgetResizable(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->viewport()->setAutoFillBackground(false);
    lblCustom = new QLabel(QStringLiteral("Automatic Alert..."));
    lblCustom->setObjectName(QStringLiteral("lblCustom"));
    lblCustom->setTextFormat(Qt::PlainText); // the user's text, never markup
    lblCustom->setWordWrap(true);
    lblCustom->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setWidget(lblCustom);
    lblCustom->setAutoFillBackground(false); // the window shows through, as around a plain label

    cmdSnooz = button(this, "cmdSnooz", "&Snooze", 4200);
    cmdOk = button(this, "cmdOk", "&OK", 5280);
    connect(cmdSnooz, &QPushButton::clicked, this, &frmCustom::cmdSnooz_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmCustom::cmdOk_Click);

    mnuSnooz = new QMenu(QStringLiteral("&Snooz"), this);
    mnuSnooz->setObjectName(QStringLiteral("mnuSnooz"));
    const struct {
        const char* name;
        const char* caption;
        void (frmCustom::*handler)();
    } items[] = {
        {"mnuSnooz1", "&1 Min", &frmCustom::mnuSnooz1_Click},
        {"mnuSnooz2", "&2 Min", &frmCustom::mnuSnooz2_Click},
        {"mnuSnooz5", "&5Min", &frmCustom::mnuSnooz5_Click},
        {"mnuSnooz10", "1&0 Min", &frmCustom::mnuSnooz10_Click},
        {"mnuSnooz15", "15 &Min", &frmCustom::mnuSnooz15_Click},
    };
    for (const auto& item : items) {
        QAction* action = mnuSnooz->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }

    // Return answers OK; Escape does nothing: a stray key must not dismiss an alarm.
    cmdOk->setFocus();

    Form_Load();

    centreOnScreen(*this);
}

void frmCustom::Form_Load() {
    if (m_settings.alarm.acts(AlarmAction::Custom))
        lblCustom->setText(QString::fromStdString(m_settings.alarm.message));
    const Importance importance = m_settings.alarm.importance;
    QLabel* shown = importance == Importance::Low      ? imgGreen
                    : importance == Importance::Medium ? imgYellow
                    : importance == Importance::High   ? imgRed
                                                       : nullptr;
    for (QLabel* s : {imgGreen, imgYellow, imgRed})
        s->setVisible(s == shown);
}

void frmCustom::cmdOk_Click() {
    emit answered();
    emit dismissed();
    close();
}

void frmCustom::cmdSnooz_Click() {
    emit answered();
    mnuSnooz->popup(mapToGlobal(twipsPoint(4200, 1815)));
}

void frmCustom::snooze(int minutes) {
    emit snoozed(minutes);
    hide();
}

void frmCustom::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A focused Snooze keeps its own Return; anywhere else Return is OK.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        (focused ? focused : cmdOk)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmCustom::closeEvent(QCloseEvent* event) {
    // No close box: the window manager's close (Alt+F4) is refused; OK and the program's end close it.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace morvantis
