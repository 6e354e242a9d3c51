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
    // No handler could be started (no browser, no launcher): a failed open, told like any other.
    if (!QDesktopServices::openUrl(url))
        throw ShellError(31, "No application is associated with the specified file for this operation");
}

} // namespace morvantis
