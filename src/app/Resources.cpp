#include "app/Resources.h"

#include <QtGlobal>

static void initMorvantisResources() {
#ifdef MORVANTIS_HAVE_RESOURCES
    Q_INIT_RESOURCE(resources);
#endif
}

namespace morvantis {
void initResources() {
    initMorvantisResources();
}
} // namespace morvantis
