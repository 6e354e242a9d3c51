#include "platform/LazyDialog.h"

namespace morvantis {

void LazyDialog::buildControls() {
    if (m_built)
        return;
    m_built = true;
    build();
}

void LazyDialog::setVisible(bool visible) {
    if (visible)
        buildControls();
    QDialog::setVisible(visible);
}

} // namespace morvantis
