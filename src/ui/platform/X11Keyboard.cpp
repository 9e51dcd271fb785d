#include "ui/platform/X11Keyboard.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>

// After Qt's headers: Xlib's macros (None, KeyPress, ...) would take Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <xcb/xcb.h>

namespace mopira {

namespace {

Display* XDisplay() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The window holding the input focus; XCB_NONE when there is none or the server does not say.
xcb_window_t FocusedWindow(xcb_connection_t* connection) {
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    if (!reply) {
        return XCB_NONE;
    }
    const xcb_window_t focus = reply->focus;
    std::free(reply);
    return focus;
}

xcb_connection_t* XcbConnection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

bool X11CanTypeKeys() {
    Display* display = XDisplay();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return display && XTestQueryExtension(display, &event, &error, &major, &minor);
}

bool X11FocusIsOnAnotherProgram() {
    xcb_connection_t* connection = XcbConnection();
    if (!connection) {
        return false;
    }
    const xcb_window_t focus = FocusedWindow(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus == root) {
        return false;
    }
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && X11FocusIsIn(window->winId())) {
            return false;
        }
    }
    return true;
}

bool X11FocusIsIn(unsigned long window) {
    xcb_connection_t* connection = XcbConnection();
    if (!connection) {
        return false;
    }
    xcb_window_t focus = FocusedWindow(connection);
    // Up from the focus to the root: a program may give the focus to a window inside its own.
    while (focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT) {
        if (focus == window) {
            return true;
        }
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, focus), nullptr);
        if (!tree) {
            return false;
        }
        focus = tree->parent;
        std::free(tree);
    }
    return false;
}

QByteArrayList X11FocusedClass() {
    xcb_connection_t* connection = XcbConnection();
    if (!connection) {
        return {};
    }
    // Up from the focus: a program may focus a window inside its top-level one, which alone
    // carries the class.
    xcb_window_t window = FocusedWindow(connection);
    while (window != XCB_NONE && window != XCB_INPUT_FOCUS_POINTER_ROOT) {
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
            nullptr);
        if (property && xcb_get_property_value_length(property) > 0) {
            const QByteArray value(static_cast<const char*>(xcb_get_property_value(property)),
                                   xcb_get_property_value_length(property));
            std::free(property);
            QByteArrayList names = value.split('\0');
            names.removeAll(QByteArray());
            return names;
        }
        std::free(property);
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        if (!tree) {
            return {};
        }
        window = tree->parent == tree->root ? xcb_window_t(XCB_NONE) : tree->parent;
        std::free(tree);
    }
    return {};
}

bool X11TypeKeys(const std::vector<std::uint32_t>& keySyms) {
    Display* display = XDisplay();
    if (!display || !X11CanTypeKeys() || keySyms.empty()) {
        return false;
    }
    std::vector<KeyCode> codes;
    for (const std::uint32_t keySym : keySyms) {
        const KeyCode code = XKeysymToKeycode(display, keySym);
        if (code == 0) {
            return false;
        }
        codes.push_back(code);
    }
    for (const KeyCode code : codes) {
        XTestFakeKeyEvent(display, code, True, CurrentTime);
    }
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        XTestFakeKeyEvent(display, *code, False, CurrentTime);
    }
    XFlush(display);
    return true;
}

}  // namespace mopira
