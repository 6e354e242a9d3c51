#include "platform/Autostart.h"

#include "platform/Say.h"

#include <QCoreApplication>

#include <cstdio>

namespace morvantis {

int autostartCommand(const QStringList& values) {
    if (values.size() > 1 ||
        (values.size() == 1 && values[0] != QLatin1String("on") && values[0] != QLatin1String("off"))) {
        tell(stderr, QStringLiteral("morvantis: --autostart takes on or off, not '%1'")
                         .arg(values.join(QLatin1Char(' '))));
        return 2;
    }
    if (values.size() == 1) {
        QString error;
        if (!setAutostart(values[0] == QLatin1String("on"), QCoreApplication::applicationFilePath(), error)) {
            tell(stderr, QStringLiteral("morvantis: %1: %2").arg(autostartEntryPath(), error));
            return 1;
        }
    }
    tell(stdout, autostartIsOn() ? QStringLiteral("Autostart is on: ") + autostartEntryPath()
                                 : QStringLiteral("Autostart is off"));
    return 0;
}

} // namespace morvantis
