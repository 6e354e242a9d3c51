// The window system's services that X11 gives its own way: flushing the requests, a window on
// every workspace (the window manager's _NET_WM_DESKTOP and _NET_WM_STATE_STICKY), the urgency hint.
#include "platform/QtWindowSystem.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace morvantis {

namespace {

xcb_connection_t* x11Connection() {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(reply);
    return root;
}

// A CARDINAL property of the root window, or fallback.
uint32_t rootCardinal(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t property,
                      uint32_t fallback) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, property, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    uint32_t value = fallback;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        std::memcpy(&value, xcb_get_property_value(reply), sizeof value);
    std::free(reply);
    return value;
}

// A request to the window manager about a mapped window; the source is an application (1).
void askWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                      uint32_t d0, uint32_t d1, uint32_t d2 = 0) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = d2;
    event.data.data32[3] = 1;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

constexpr uint32_t kEveryDesktop = 0xFFFFFFFF;

} // namespace

void flushWindowSystem() {
    // The offscreen platform answers too, with no connection.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        if (xcb_connection_t* connection = x11->connection())
            xcb_flush(connection);
}

bool canShowOnEveryWorkspace() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void setOnEveryWorkspace(QWidget& window, bool on, bool mapped) {
    xcb_connection_t* connection = canShowOnEveryWorkspace() ? x11Connection() : nullptr;
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t desktop = atomNamed(connection, "_NET_WM_DESKTOP");
    if (!mapped) {
        // Read by the window manager when it maps the window; without it, the current workspace.
        if (on)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1,
                                &kEveryDesktop);
        else
            xcb_delete_property(connection, id, desktop);
    } else {
        const xcb_window_t root = rootOf(connection, id);
        const uint32_t target =
            on ? kEveryDesktop
               : rootCardinal(connection, root, atomNamed(connection, "_NET_CURRENT_DESKTOP"), 0);
        askWindowManager(connection, root, id, desktop, target, 1);
        // Some window managers keep a window on every workspace by this state instead.
        askWindowManager(connection, root, id, atomNamed(connection, "_NET_WM_STATE"), on ? 1 : 0,
                         atomNamed(connection, "_NET_WM_STATE_STICKY"), 0);
    }
    xcb_flush(connection);
}

// The urgency hint: the window manager clears it when the window is activated.
void demandAttention(QWidget& window, bool on) {
    if (on)
        QApplication::alert(&window, 0);
}

} // namespace morvantis
