#include "access/WidgetAccessible.h"

#include "info/URLLink.h"
#include "skins/frmChoseSkin.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QPointer>
#include <QTimer>

namespace morvantis {

namespace {

// "Get more skins" and the like: a link, pressed as a click on it. Its label is its name, not a
// second object to read.
class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(URLLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // The opening may show a message box: the screen reader is answered first.
        const QPointer<URLLink> link = static_cast<URLLink*>(widget());
        QTimer::singleShot(0, link, [link] {
            if (link && link->isEnabled())
                link->open();
        });
    }
};

// A drop-down list that is not editable. Qt names it by its entry on Linux and offers the entry
// as a selected child only through an interface Orca asks for and Qt 6.4 does not have: Orca then
// speaks the label and "combo box" but never the entry. The entry is offered as the text too.
class ComboAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    // The entries, as Qt offers them: the list that pops up.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return c && c->object() == combo()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        const QPointer<QComboBox> box = combo();
        QTimer::singleShot(0, box, [box] {
            if (box && box->isEnabled())
                box->showPopup();
        });
    }

    // The text: the entry shown, read-only.
    QString text(int start, int end) const override { return combo()->currentText().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(combo()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// The skin chooser without its hidden folder list: Qt would report that list's entries as showing.
class ChooserAccessible final : public QAccessibleWidget {
public:
    explicit ChooserAccessible(frmChoseSkin* chooser) : QAccessibleWidget(chooser, QAccessible::Dialog) {}

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList children = shown();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return c ? static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(c->object()))) : -1;
    }

private:
    // The controls the window shows (one that was hidden on purpose is not among them).
    QWidgetList shown() const {
        QWidgetList list;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && !w->isHidden())
                list.append(w);
        }
        return list;
    }
};

QAccessibleInterface* widgetFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(URLLink::staticMetaObject.className()))
        return new LinkAccessible(static_cast<URLLink*>(object));
    if (className == QLatin1String(frmChoseSkin::staticMetaObject.className()))
        return new ChooserAccessible(static_cast<frmChoseSkin*>(object));
    if (className == QLatin1String("QComboBox") && !static_cast<QComboBox*>(object)->isEditable())
        return new ComboAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

} // namespace

void installWidgetAccessibility() {
    QAccessible::installFactory(widgetFactory);
}

} // namespace morvantis
