#include "ui/platform/X11Keyboard.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>

// After Qt's headers: Xlib's macros (None, KeyPress, ...) would take Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
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

bool X11TypePasteKeys() {
    Display* display = XDisplay();
    if (!display || !X11CanTypeKeys()) {
        return false;
    }
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode v = XKeysymToKeycode(display, XK_v);
    if (control == 0 || v == 0) {
        return false;
    }
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeKeyEvent(display, v, True, CurrentTime);
    XTestFakeKeyEvent(display, v, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
    return true;
}

}  // namespace mopira
