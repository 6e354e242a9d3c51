#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace morvantis {

void QtShell::openUrl(const std::string& address) {
    const QString a = QString::fromStdString(address);
    // A path to a document opens like an address.
    const QUrl url = QFileInfo::exists(a) ? QUrl::fromLocalFile(a) : QUrl::fromUserInput(a);
    if (!url.isValid())
        throw ShellError(5, "Invalid procedure call or argument");
    QDesktopServices::openUrl(url);
}

} // namespace morvantis
