#include "app/FaceMenu.h"

#include <QAction>
#include <QMenu>

namespace morvantis {

std::optional<Element> chooseFaceButton(QWidget* parent, QPoint globalPos) {
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("mnuFace"));
    const struct {
        const char* name;
        const char* caption;
        Element button;
    } items[] = {
        {"mnuAlarm", "&Alarm", Element::imgAlarmBut},     {"mnuOptions", "&Options", Element::imgOptBut},
        {"mnuSkins", "&Skins", Element::imgMontBut},      {"mnuAbout", "A&bout", Element::imgYearBut},
        {"mnuSayTime", "Say &Time", Element::imgDateBut}, {"mnuExit", "E&xit", Element::imgExitBut},
    };
    for (const auto& item : items)
        menu.addAction(QString::fromLatin1(item.caption))->setObjectName(QString::fromLatin1(item.name));
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen)
        return std::nullopt;
    for (const auto& item : items)
        if (chosen->objectName() == QLatin1String(item.name))
            return item.button;
    return std::nullopt;
}

} // namespace morvantis
