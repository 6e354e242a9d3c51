#include "app/Resources.h"

#include <QtGlobal>

static void initMorvantisResources() {
    Q_INIT_RESOURCE(resources);
}

namespace morvantis {
void initResources() {
    initMorvantisResources();
}
} // namespace morvantis
