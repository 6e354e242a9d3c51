#pragma once

namespace morvantis {

// What screen readers are told about the controls of the clock's windows where Qt's own account
// misleads them: the hyperlink label is a link that can be pressed, a drop-down list speaks the
// entry it shows, and the skin chooser's hidden folder list is not there at all.
void installWidgetAccessibility();

} // namespace morvantis
