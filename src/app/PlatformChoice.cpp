#include "app/PlatformChoice.h"

#include "core/Blanks.h"

#include <QLoggingCategory>
#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#ifdef MORVANTIS_WITH_WAYLAND
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>

#include <poll.h>
#include <wayland-client.h>
#include <xcb/xcb.h>
#include <xdg-output-client.h>
#endif

namespace morvantis {

namespace {
const char* const kPlatformVariable = "QT_QPA_PLATFORM";
} // namespace

bool isPlatformOption(const char* argument) {
    return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
}

double xftDpiIn(std::string_view resources) {
    constexpr std::string_view name = "Xft.dpi";
    while (!resources.empty()) {
        const auto end = resources.find('\n');
        const std::string_view line = trimBlanks(resources.substr(0, end));
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        if (!line.starts_with(name))
            continue;
        std::string_view rest = trimBlanks(line.substr(name.size()));
        if (!rest.starts_with(':'))
            continue;
        rest = trimBlanks(rest.substr(1));
        double dpi = 0;
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), dpi);
        if (ec == std::errc{} && ptr == rest.data() + rest.size() && dpi > 0 && dpi < 1e5)
            return dpi;
    }
    return 0;
}

bool x11DrawsSharp(const std::vector<OutputLayout>& outputs, double xftDpi) {
    int largest = 1;
    for (const OutputLayout& o : outputs) {
        if (o.scale <= 1)
            continue;
        largest = std::max(largest, o.scale);
        // A turned output reports its logical size turned, its mode not.
        const bool integerLayout =
            o.logicalWidth > 0 && ((o.logicalWidth == o.modeWidth && o.logicalHeight == o.modeHeight) ||
                                   (o.logicalWidth == o.modeHeight && o.logicalHeight == o.modeWidth));
        if (!integerLayout)
            return false;
    }
    return largest == 1 || std::abs(xftDpi - 96.0 * largest) < 0.5;
}

#ifdef MORVANTIS_WITH_WAYLAND
namespace {

Q_LOGGING_CATEGORY(lcPlatform, "morvantis.platform", QtWarningMsg)

using Clock = std::chrono::steady_clock;

struct Output {
    wl_output* output = nullptr;
    zxdg_output_v1* xdg = nullptr;
    OutputLayout layout;
};

struct Outputs {
    std::vector<std::unique_ptr<Output>> bound;
    zxdg_output_manager_v1* manager = nullptr;
};

const wl_output_listener kOutputListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                   int32_t) {},
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (flags & WL_OUTPUT_MODE_CURRENT) {
                static_cast<Output*>(data)->layout.modeWidth = width;
                static_cast<Output*>(data)->layout.modeHeight = height;
            }
        },
    .done = [](void*, wl_output*) {},
    .scale = [](void* data, wl_output*,
                int32_t factor) { static_cast<Output*>(data)->layout.scale = factor; },
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener kXdgOutputListener = {
    .logical_position = [](void*, zxdg_output_v1*, int32_t, int32_t) {},
    .logical_size =
        [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
            static_cast<Output*>(data)->layout.logicalWidth = width;
            static_cast<Output*>(data)->layout.logicalHeight = height;
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void*, zxdg_output_v1*, const char*) {},
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto* outputs = static_cast<Outputs*>(data);
    if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        outputs->manager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, 1));
        return;
    }
    // An output tells its scale from version 2 on; one of version 1 is at scale 1.
    if (std::strcmp(interface, wl_output_interface.name) != 0 || version < 2)
        return;
    auto& output = outputs->bound.emplace_back(std::make_unique<Output>());
    output->output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
    wl_output_add_listener(output->output, &kOutputListener, output.get());
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

// The compositor's outputs; nothing when it did not answer in time (X11 then, where an X server
// answers: Qt's Wayland plugin would wait for it too).
std::optional<std::vector<OutputLayout>> outputLayouts(wl_display* display) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    Outputs outputs;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &outputs);
    // The first answer brings the globals, the second what each output says of itself.
    bool answered = roundTrip(display, deadline);
    if (answered && outputs.manager) {
        for (const auto& output : outputs.bound) {
            output->xdg = zxdg_output_manager_v1_get_xdg_output(outputs.manager, output->output);
            zxdg_output_v1_add_listener(output->xdg, &kXdgOutputListener, output.get());
        }
    }
    answered = answered && roundTrip(display, deadline);
    std::vector<OutputLayout> layouts;
    for (const auto& output : outputs.bound) {
        layouts.push_back(output->layout);
        if (output->xdg)
            zxdg_output_v1_destroy(output->xdg);
        wl_output_destroy(output->output);
    }
    if (outputs.manager)
        zxdg_output_manager_v1_destroy(outputs.manager);
    wl_registry_destroy(registry);
    if (!answered)
        return std::nullopt;
    return layouts;
}

// The X server's Xft.dpi, as the desktop's settings daemon writes it on the root window.
double xftDpiOf(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return 0;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 16384),
        nullptr);
    double dpi = 0;
    if (reply && reply->format == 8)
        dpi = xftDpiIn(std::string_view(static_cast<const char*>(xcb_get_property_value(reply)),
                                        static_cast<std::size_t>(xcb_get_property_value_length(reply))));
    std::free(reply);
    return dpi;
}

// Whether an X server answers, and its Xft.dpi (0: none written).
std::optional<double> xServer() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    std::optional<double> dpi;
    if (xcb_connection_has_error(connection) == 0)
        dpi = xftDpiOf(connection);
    xcb_disconnect(connection);
    return dpi;
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
    const auto layouts = outputLayouts(display);
    wl_display_disconnect(display);
    const std::optional<double> xftDpi = xServer();
    const char* why = nullptr;
    if (!xftDpi)
        why = "wayland: no X server answers";
    else if (layouts && !x11DrawsSharp(*layouts, *xftDpi))
        why = "wayland: a scaled output where X11 would be blurred, or Xft.dpi not of its scale";
    if (!why) {
        // Wayland as a fallback, should this Qt lack its X11 plugin.
        qputenv(kPlatformVariable, "xcb;wayland");
        choice.m_set = true;
        why = layouts ? "xcb" : "xcb: the compositor did not answer";
    }
    qCDebug(lcPlatform) << why << "- Xft.dpi" << xftDpi.value_or(0) << "- looked in"
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
