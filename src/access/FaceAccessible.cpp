#include "access/FaceAccessible.h"

#include "access/WidgetAccessible.h"
#include "clock/FacePainter.h"
#include "clock/frmMain.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <iterator>

namespace morvantis {

namespace {

// The elements a screen reader is told about, in reading order.
struct Part {
    Element element;
    const char* name; // a button's comes from kFaceButtons; empty: the text comes from the face
    QAccessible::Role role;
};
constexpr Part kParts[] = {
    // A check box is what screen readers speak as on or off; the caption says what is set.
    {Element::imgLight, "Alarm light", QAccessible::CheckBox},
    {Element::Label1, "", QAccessible::StaticText},
    {Element::imgAlarmBut, "", QAccessible::Button},
    {Element::imgLCD, "", QAccessible::StaticText},
    {Element::imgMontBut, "", QAccessible::Button},
    {Element::imgDateBut, "", QAccessible::Button},
    {Element::imgYearBut, "", QAccessible::Button},
    {Element::imgOptBut, "", QAccessible::Button},
    {Element::imgExitBut, "", QAccessible::Button},
};
constexpr int indexOfPart(Element e) {
    for (int i = 0; i < static_cast<int>(std::size(kParts)); ++i)
        if (kParts[i].element == e)
            return i;
    return -1;
}

// The display read as one line: the time, then the date fields shown.
QString shownOn(frmMain& window) {
    const QString date = window.displayDate();
    return date.isEmpty() ? window.displayTime() : window.displayTime() + QStringLiteral(", ") + date;
}

class PartAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PartAccessible(frmMain* window, const Part& part) : m_window(window), m_part(part) {}

    bool isValid() const override { return m_window; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_window ? m_window->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_window); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!m_window)
            return {};
        switch (m_part.element) {
        case Element::imgLight:
            if (t == QAccessible::Description)
                return QString::fromStdString(m_window->face().caption());
            break;
        case Element::Label1:
            if (t == QAccessible::Name)
                return QString::fromStdString(m_window->face().caption());
            return {};
        case Element::imgLCD:
            if (t == QAccessible::Name)
                return shownOn(*m_window);
            return {};
        default:
            break;
        }
        if (t != QAccessible::Name)
            return {};
        const std::size_t button = findFaceButton(m_part.element);
        return QString::fromLatin1(button < kFaceButtonCount ? kFaceButtons[button].accessibleName
                                                             : m_part.name);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_window)
            return {};
        const QRect r = FacePainter::rectOf(m_part.element);
        return {m_window->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return m_part.role; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_window || !m_window->isVisible())
            s.invisible = true;
        if (m_part.element == Element::imgLight) {
            // The user cannot tick it: ALARM and the alarm dialog light it.
            s.checkable = true;
            s.readOnly = true;
            s.checked = m_window && m_window->face().isVisible(Element::imgLight);
        } else if (m_part.role == QAccessible::StaticText) {
            s.readOnly = true;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && isButton())
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override {
        return isButton() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (!m_window || !isButton() || action != pressAction())
            return;
        // The screen reader gets its answer first: the press may end the program.
        const QPointer<frmMain> window = m_window;
        const Element button = m_part.element;
        QTimer::singleShot(0, window, [window, button] {
            // As a click: nothing while a modal window holds the clock's input.
            if (!window || window->ending() || QApplication::activeModalWidget())
                return;
            window->pressButton(button);
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    bool isButton() const { return findFaceButton(m_part.element) < kFaceButtonCount; }

    QPointer<frmMain> m_window;
    const Part& m_part;
};

QAccessibleInterface* faceFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(frmMain::staticMetaObject.className()) && object && object->isWidgetType())
        return new FaceAccessible(static_cast<frmMain*>(object));
    return nullptr;
}

} // namespace

FaceAccessible::FaceAccessible(frmMain* window) : QAccessibleWidget(window, QAccessible::Window) {
    m_lit = window->face().isVisible(Element::imgLight);
    m_caption = QString::fromStdString(window->face().caption());
    // Only while a screen reader listens: nothing is computed or sent otherwise.
    m_shownWatch = QObject::connect(window, &frmMain::faceShown, window, [this] {
        if (QAccessible::isActive())
            announceChanges();
    });
}

FaceAccessible::~FaceAccessible() {
    QObject::disconnect(m_shownWatch);
    for (QAccessible::Id id : m_children)
        QAccessible::deleteAccessibleInterface(id);
}

void FaceAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(faceFactory);
        installWidgetAccessibility();
        return true;
    }();
    (void)installed;
}

QString FaceAccessible::text(QAccessible::Text t) const {
    // The window's title is the clock's own ("Main"); a screen reader names the program.
    if (t == QAccessible::Name)
        return QStringLiteral("Morvantis");
    return QAccessibleWidget::text(t);
}

void FaceAccessible::announceChanges() {
    frmMain& window = *clock();
    const QString shown = shownOn(window);
    if (shown != m_shown) {
        m_shown = shown;
        QAccessibleEvent event(child(indexOfPart(Element::imgLCD)), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    const QString caption = QString::fromStdString(window.face().caption());
    if (caption != m_caption) {
        m_caption = caption;
        QAccessibleEvent named(child(indexOfPart(Element::Label1)), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        QAccessibleEvent described(child(indexOfPart(Element::imgLight)), QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
    const bool lit = window.face().isVisible(Element::imgLight);
    if (lit != m_lit) {
        m_lit = lit;
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(child(indexOfPart(Element::imgLight)), changed);
        QAccessible::updateAccessibility(&event);
    }
}

frmMain* FaceAccessible::clock() const {
    return static_cast<frmMain*>(widget());
}

int FaceAccessible::childCount() const {
    return static_cast<int>(std::size(kParts));
}

QAccessibleInterface* FaceAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_children.empty())
        for (const Part& part : kParts)
            m_children.push_back(QAccessible::registerAccessibleInterface(new PartAccessible(clock(), part)));
    return QAccessible::accessibleInterface(m_children[static_cast<std::size_t>(index)]);
}

int FaceAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < childCount(); ++i)
        if (this->child(i) == child)
            return i;
    return -1;
}

QAccessibleInterface* FaceAccessible::childAt(int x, int y) const {
    // The buttons and the light lie in front of the display.
    QAccessibleInterface* found = nullptr;
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* c = child(i);
        if (c->rect().contains(x, y) && (!found || c != child(indexOfPart(Element::imgLCD))))
            found = c;
    }
    return found;
}

} // namespace morvantis
