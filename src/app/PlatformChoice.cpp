#include "app/PlatformChoice.h"

#include <QLoggingCategory>
#include <QtGlobal>

#include <cstring>

#ifdef MORVANTIS_WITH_WAYLAND
#include <algorithm>
#include <chrono>
#include <vector>

#include <poll.h>
#include <wayland-client.h>
#include <xcb/xcb.h>
#endif

namespace morvantis {

namespace {
const char* const kPlatformVariable = "QT_QPA_PLATFORM";
} // namespace

bool isPlatformOption(const char* argument) {
    return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
}

#ifdef MORVANTIS_WITH_WAYLAND
namespace {

Q_LOGGING_CATEGORY(lcPlatform, "morvantis.platform", QtWarningMsg)

using Clock = std::chrono::steady_clock;

struct Outputs {
    int largestScale = 1;
    std::vector<wl_output*> bound;
};

void onScale(void* data, wl_output*, int32_t factor) {
    auto* outputs = static_cast<Outputs*>(data);
    outputs->largestScale = std::max(outputs->largestScale, static_cast<int>(factor));
}

const wl_output_listener kOutputListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                   int32_t) {},
    .mode = [](void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {},
    .done = [](void*, wl_output*) {},
    .scale = onScale,
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    // An output tells its scale from version 2 on; one of version 1 is at scale 1.
    if (std::strcmp(interface, wl_output_interface.name) != 0 || version < 2)
        return;
    auto* outputs = static_cast<Outputs*>(data);
    auto* output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
    wl_output_add_listener(output, &kOutputListener, outputs);
    outputs->bound.push_back(output);
}

const wl_registry_listener kRegistryListener = {
    .global = onGlobal,
    .global_remove = [](void*, wl_registry*, uint32_t) {},
};

// A round trip that gives up at the deadline: a compositor that does not answer must not
// hold the clock's start.
bool roundTrip(wl_display* display, Clock::time_point deadline) {
    bool answered = false;
    wl_callback* callback = wl_display_sync(display);
    static const wl_callback_listener listener = {
        .done = [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; },
    };
    wl_callback_add_listener(callback, &listener, &answered);
    while (!answered) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                break;
            continue;
        }
        wl_display_flush(display);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        if (left <= 0 || ::poll(&readable, 1, static_cast<int>(left)) <= 0) {
            wl_display_cancel_read(display);
            break;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            break;
    }
    wl_callback_destroy(callback);
    return answered;
}

// The largest scale of the compositor's outputs; 0 when it did not answer in time (X11 then,
// where an X server answers: Qt's Wayland plugin would wait for it too).
int largestOutputScale(wl_display* display) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    Outputs outputs;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &outputs);
    // The first answer brings the outputs, the second what each says of itself.
    const bool answered = roundTrip(display, deadline) && roundTrip(display, deadline);
    for (wl_output* output : outputs.bound)
        wl_output_destroy(output);
    wl_registry_destroy(registry);
    return answered ? outputs.largestScale : 0;
}

bool xServerAnswers() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

bool platformChosen(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsEmpty(kPlatformVariable))
        return true;
    for (int i = 1; i < argc; ++i)
        if (isPlatformOption(argv[i]))
            return true;
    return false;
}

} // namespace

PlatformChoice PlatformChoice::make(int argc, char* argv[]) {
    PlatformChoice choice;
    if (platformChosen(argc, argv) || qEnvironmentVariableIsEmpty("DISPLAY"))
        return choice;
    const auto started = Clock::now();
    // Qt tries Wayland first wherever a compositor answers, as libwayland finds it.
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return choice;
    const int scale = largestOutputScale(display);
    wl_display_disconnect(display);
    if (scale > 1) {
        qCDebug(lcPlatform) << "wayland: an output at scale" << scale;
        return choice;
    }
    if (!xServerAnswers()) {
        qCDebug(lcPlatform) << "wayland: no X server answers";
        return choice;
    }
    // Wayland as a fallback, should this Qt lack its X11 plugin.
    qputenv(kPlatformVariable, "xcb;wayland");
    choice.m_set = true;
    qCDebug(lcPlatform) << "xcb: largest output scale" << scale << "(0: no answer); looked in"
                        << std::chrono::duration<double, std::milli>(Clock::now() - started).count() << "ms";
    return choice;
}
#else
PlatformChoice PlatformChoice::make(int, char*[]) {
    return {};
}
#endif

void PlatformChoice::restoreEnvironment() const {
    if (m_set)
        qunsetenv(kPlatformVariable);
}

} // namespace morvantis
