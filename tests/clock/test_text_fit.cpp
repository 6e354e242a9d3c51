// Every text the program shows lies inside the room its widget gives it, at the scale factor this
// run was started with (CTest runs it at 1, 1.5 and 2) and with the fonts a new Debian user has.
#include "alarm/AlarmRules.h"
#include "alarm/frmCustom.h"
#include "alarm/frmMusic.h"
#include "app/frmSplash.h"
#include "clock/frmMain.h"
#include "core/ClockText.h"
#include "info/frmAbout.h"
#include "settings/frmOptions.h"
#include "skins/frmChoseSkin.h"
#include "support/AlarmSettings.h"
#include "support/ClockWindowTest.h"
#include "support/Controls.h"
#include "support/TestServices.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace morvantis;
using morvantis::test::probe;
using morvantis::test::TestServices;

namespace {

// What a text needs and the room it has, both in its window's coordinates.
struct Fit {
    QString what;
    QRectF need;
    QRectF room;
};

QRectF inWindow(const QWidget* w, const QRectF& r) {
    return r.translated(w->mapTo(w->window(), QPoint()));
}

// The part of a rectangle of a widget that the widget and its ancestors leave visible; the
// contents of a scroll area count whole, as scrolling brings all of them into view.
QRectF visibleRoom(const QWidget* w, const QRectF& r) {
    QRectF room = inWindow(w, r);
    for (const QWidget* a = w; !a->isWindow(); a = a->parentWidget()) {
        const QWidget* parent = a->parentWidget();
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
            area && area->viewport() == parent)
            return room;
        room &= inWindow(a, a->rect());
    }
    return room;
}

void labels(const QWidget* window, std::vector<Fit>& fits) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(window))
            continue;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        int flags = static_cast<int>(label->alignment()) | Qt::TextShowMnemonic;
        if (label->wordWrap())
            flags |= Qt::TextWordWrap;
        const QRectF need = QFontMetricsF(label->font(), label).boundingRect(room, flags, label->text());
        fits.push_back({window->objectName() + "/" + label->objectName() + " " + label->text().left(20),
                        inWindow(label, need), visibleRoom(label, room)});
    }
}

void checkBoxes(const QWidget* window, std::vector<Fit>& fits) {
    for (const QAbstractButton* box : window->findChildren<QAbstractButton*>()) {
        const bool check = qobject_cast<const QCheckBox*>(box);
        if ((!check && !qobject_cast<const QRadioButton*>(box)) || !box->isVisibleTo(window))
            continue;
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QStyle* style = box->style();
        const QRect contents = style->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, box);
        const QRect indicator = style->subElementRect(
            check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &option, box);
        const QRectF need =
            QFontMetricsF(box->font(), box)
                .boundingRect(contents, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->text())
                .united(indicator);
        fits.push_back({window->objectName() + "/" + box->objectName(), inWindow(box, need),
                        visibleRoom(box, box->rect())});
    }
}

bool inside(const QRectF& need, const QRectF& room) {
    // Half a pixel for rounding: positions are whole device pixels.
    return need.left() >= room.left() - 0.5 && need.top() >= room.top() - 0.5 &&
           need.right() <= room.right() + 0.5 && need.bottom() <= room.bottom() + 0.5;
}

class TextFit : public morvantis::test::ClockWindowTest {
protected:
    TextFit() {}
};

} // namespace

TEST_F(TextFit, EveryTextLiesInsideItsBox) {
    std::vector<Fit> fits;

    // Every alarm caption the face can show: each month and weekday, with and without AM/PM.
    window.show();
    const QRectF label = FacePainter::rectOf(Element::Label1);
    const QFontMetricsF caption(FacePainter::captionFont(), &window);
    for (int month = 1; month <= 12; ++month)
        for (int day = 0; day < 7; ++day)
            for (const char* ampm : {"AM", "PM", ""}) {
                const Settings alarm =
                    morvantis::test::alarmAt(12, 59, 59, ampm, std::string(weekdayName(day)).c_str(),
                                             std::string(monthName(month)).c_str());
                const QString text = QString::fromStdString(alarmCaption(alarm.alarm, *ampm != '\0'));
                fits.push_back(
                    {text, caption.boundingRect(label, Qt::AlignLeft | Qt::AlignVCenter, text), label});
            }

    // The dialogs as they open; the alert with the longest messages the alarm dialog takes, in words
    // and in one piece.
    morvantis::test::setStored(state, AlarmKey::CustomBol, true);
    FaceModel face;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (const QString& message :
         {QString("Wake up and water the plants before you go. ").repeated(8).left(350),
          QString("W").repeated(350)}) {
        morvantis::test::setStored(state, AlarmKey::Custom, message.toStdString());
        windows.push_back(std::make_unique<frmCustom>(state.settings()));
    }
    windows.push_back(std::make_unique<frmMusic>(env.services, state));
    windows.push_back(std::make_unique<frmAbout>());
    probe(window).imgOptBut_MouseUp();
    auto* options = window.findChild<QDialog*>("frmOptions");
    ASSERT_TRUE(options);
    for (QWidget* w : {windows[0].get(), windows[1].get(), windows[2].get(), windows[3].get(),
                       static_cast<QWidget*>(options), static_cast<QWidget*>(&probe(window).skinChooser())}) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        labels(w, fits);
        checkBoxes(w, fits);
    }

    // A description box shows whole lines, wherever it is scrolled to.
    QPlainTextEdit* description = morvantis::test::control<QPlainTextEdit>(probe(window).skinChooser(), "Text1");
    description->setPlainText(
        QString("A skin drawn in green on black, like the clocks of old. ").repeated(4));
    QScrollBar* bar = description->verticalScrollBar();
    for (int position = bar->minimum(); position <= bar->maximum(); ++position) {
        bar->setValue(position);
        QTextCursor line(description->document());
        do {
            const QRectF r = description->cursorRect(line);
            const QRectF room = description->viewport()->rect();
            // Line boxes are whole pixels around fractional heights: a one-pixel sliver is rounding.
            if ((r & room).height() > 1)
                fits.push_back({QString("description line at %1, scrolled to %2").arg(r.top()).arg(position),
                                inWindow(description->viewport(), r),
                                inWindow(description->viewport(), room)});
        } while (line.movePosition(QTextCursor::Down));
    }

    for (const Fit& f : fits)
        EXPECT_TRUE(inside(f.need, f.room))
            << f.what.toStdString() << ": needs " << f.need.left() << "," << f.need.top() << " to "
            << f.need.right() << "," << f.need.bottom() << ", has " << f.room.left() << "," << f.room.top()
            << " to " << f.room.right() << "," << f.room.bottom();
}
