#include "clock/ClockEnd.h"

#include "platform/Say.h"

#include <QString>

#include <cstdio>

namespace morvantis {

bool ClockEnd::save(std::string& error) {
    if (!m_save || m_save(error))
        return true;
    say(stderr, QStringLiteral("morvantis: ") + QString::fromStdString(error));
    return false;
}

void ClockEnd::saveAndEnd(const std::function<void(const std::string& error)>& failed) {
    if (begun())
        return;
    announce();
    std::string error;
    const bool saved = save(error);
    if (!saved && failed)
        failed(error);
    begin(saved ? 0 : 1);
}

} // namespace morvantis
