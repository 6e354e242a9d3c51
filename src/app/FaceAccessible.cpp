#include "app/FaceAccessible.h"

#include "app/FacePainter.h"
#include "app/frmMain.h"

#include <QPointer>

#include <iterator>

namespace morvantis {

namespace {

// The elements a screen reader is told about, in reading order.
struct Part {
    Element element; // a button's name comes from kFaceButtons, the others' texts from the face
    QAccessible::Role role;
    void (frmMain::*press)(); // the button's action, as its mouse-up runs it
};
constexpr Part kParts[] = {
    {Element::imgLight, QAccessible::Indicator, nullptr},
    {Element::imgAlarmBut, QAccessible::Button, &frmMain::imgAlarmBut_MouseUp},
    {Element::imgLCD, QAccessible::Clock, nullptr},
    {Element::imgMontBut, QAccessible::Button, &frmMain::imgMontBut_MouseUp},
    {Element::imgDateBut, QAccessible::Button, &frmMain::imgDateBut_MouseUp},
    {Element::imgYearBut, QAccessible::Button, &frmMain::imgYearBut_MouseUp},
    {Element::imgOptBut, QAccessible::Button, &frmMain::imgOptBut_MouseUp},
    {Element::imgExitBut, QAccessible::Button, &frmMain::imgExitBut_MouseUp},
};

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
        const FaceModel& face = m_window->face();
        switch (m_part.element) {
        case Element::imgLight:
            if (t == QAccessible::Name)
                return QStringLiteral("Alarm light");
            if (t == QAccessible::Description || t == QAccessible::Value)
                return QString::fromStdString(face.caption());
            return {};
        case Element::imgLCD:
            if (t == QAccessible::Name)
                return m_window->displayTime();
            if (t == QAccessible::Description)
                return m_window->displayDate();
            return {};
        default: {
            const std::size_t button = findFaceButton(m_part.element);
            if (t != QAccessible::Name || button == kFaceButtonCount)
                return {};
            return QString::fromLatin1(kFaceButtons[button].accessibleName);
        }
        }
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
            s.checkable = true;
            s.checked = m_window && m_window->face().isVisible(Element::imgLight);
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && m_part.press)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override {
        return m_part.press ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (m_window && m_part.press && action == pressAction())
            (m_window->*m_part.press)();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<frmMain> m_window;
    const Part& m_part;
};

QAccessibleInterface* faceFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(frmMain::staticMetaObject.className()) && object && object->isWidgetType())
        return new FaceAccessible(static_cast<frmMain*>(object));
    return nullptr;
}

} // namespace

FaceAccessible::FaceAccessible(frmMain* window) : QAccessibleWidget(window, QAccessible::Window) {}

FaceAccessible::~FaceAccessible() {
    for (QAccessible::Id id : m_children)
        QAccessible::deleteAccessibleInterface(id);
}

void FaceAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(faceFactory);
        return true;
    }();
    (void)installed;
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
        if (c->rect().contains(x, y) && (!found || c->role() != QAccessible::Clock))
            found = c;
    }
    return found;
}

} // namespace morvantis
