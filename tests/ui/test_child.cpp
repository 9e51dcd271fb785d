// A second process for the tests that need one:
//   test_child save-crash DATA_FOLDER STEP  saves a library with one emoticon added and is
//                                           killed right after the real work of that save step;
//   test_child hold DATA_FOLDER             holds the folder as a running program does, until
//                                           it is killed;
//   test_child signal-save DATA_FOLDER      reads the library, adds an emoticon, prints "changed"
//                                           and runs until SIGTERM, SIGHUP or SIGINT ends it as
//                                           the program's close does;
//   test_child access DATA_FOLDER           reads the library and prints whether it may be
//                                           changed: "writable", "unreadable", "file read-only"
//                                           or "folder read-only";
//   test_child drag X Y WIDTH HEIGHT        another program that drags text: shows a window there
//                                           and prints "ready"; a press in it starts a drag that
//                                           offers a copy or a move. While the drag runs it prints
//                                           the drag cursor and the pointer's place every 20 ms
//                                           ("cursor SHAPE X Y") and each action the target
//                                           answers ("action ACTION"), and at its end
//                                           "result ACTION".
//   test_child edit                         a plain window with one line edit, titled
//                                           "paste target", that prints "ready" when shown,
//                                           "key KEYS" for every key pressed with Ctrl
//                                           ("key Ctrl+Shift+V") and "text TEXT" (UTF-8) after
//                                           every change of it;
//   test_child tray-host                    (X11) a desktop's tray as programs find it: holds
//                                           the tray's selection of screen 0, prints "ready",
//                                           and docks nothing;
//   test_child activation-token             (Wayland) a launcher: asks the compositor for an
//                                           xdg-activation token and prints it;
//   test_child library-shell DATA_FOLDER    a running program on the library that standard
//                                           input drives, a command a line: "add TEXT FOLDER",
//                                           "flush" (prints "flushed"), "quit"; prints "ready"
//                                           once the library is read and "merged ADDED REMOVED
//                                           MOVED" for every conflict copy it merged.
#include <unistd.h>
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "store/LibraryDocument.h"
#include "store/PlatformFile.h"
#include "ui/app/SingleInstance.h"
#include "ui/app/TerminationSignals.h"

#ifdef MOPIRA_HAVE_X11
#include <xcb/xcb.h>
#endif
#ifdef MOPIRA_HAVE_WAYLAND
#include <wayland-client.h>

#include <cstring>

#include "xdg-activation-v1-client-protocol.h"
#endif

namespace {

int SaveCrash(const QString& folder, const std::string& stepName) {
    const std::map<std::string, std::pair<mopira::FileStep, qint64>> steps = {
        {"create", {mopira::FileStep::Create, 0}}, {"write", {mopira::FileStep::Write, 1}},
        {"flush", {mopira::FileStep::Flush, 0}},   {"sync", {mopira::FileStep::Sync, 0}},
        {"close", {mopira::FileStep::Close, 0}},   {"rename", {mopira::FileStep::Rename, 0}},
    };
    const auto step = steps.find(stepName);
    if (step == steps.end()) {
        return 2;
    }
    mopira::CLibraryDocument document(folder);
    document.Load();
    document.Flush();
    mopira::CFileFaultSeam kill(step->second.first, 0, step->second.second,
                                mopira::CFileFaultSeam::Action::Kill);
    document.Change(mopira::AddFaces{{{"added", "new"}}});
    document.Flush();
    return 0;  // not reached: the seam kills the process
}

class CDragSource : public QWidget {
protected:
    void showEvent(QShowEvent* /*event*/) override {
        QTimer::singleShot(0, this, [] { std::printf("ready\n"); });
    }

    void mousePressEvent(QMouseEvent* /*event*/) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setText(QStringLiteral("(^_^)"));
        drag->setMimeData(data);
        connect(drag, &QDrag::actionChanged, this,
                [](Qt::DropAction action) { std::printf("action %d\n", int(action)); });
        QTimer sample;
        connect(&sample, &QTimer::timeout, this, [] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
                const QPoint at = QCursor::pos();
                std::printf("cursor %d %d %d\n", int(cursor->shape()), at.x(), at.y());
            }
        });
        sample.start(20);
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction);
        std::printf("result %d\n", int(result));
        QCoreApplication::quit();
    }
};

int Drag(const QRect& geometry) {
    // The test reads each line as it comes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    CDragSource source;
    source.setGeometry(geometry);
    source.show();
    return QApplication::exec();
}

class CPasteTarget : public QLineEdit {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->modifiers() & Qt::ControlModifier) {
            const QKeyCombination keys(event->modifiers(), Qt::Key(event->key()));
            std::printf("key %s\n", qPrintable(QKeySequence(keys).toString()));
        }
        QLineEdit::keyPressEvent(event);
    }
};

int Edit() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    CPasteTarget edit;
    edit.setWindowTitle(QStringLiteral("paste target"));
    QObject::connect(&edit, &QLineEdit::textChanged, [](const QString& text) {
        std::printf("text %s\n", text.toUtf8().constData());
    });
    edit.resize(300, 40);
    edit.show();
    QTimer::singleShot(0, [] { std::printf("ready\n"); });
    return QApplication::exec();
}

#ifdef MOPIRA_HAVE_X11
int TrayHost() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t owner = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    xcb_set_selection_owner(connection, owner, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    xcb_flush(connection);
    std::printf("ready\n");
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        std::free(event);
    }
    return 0;
}
#endif

int SignalSave(const QString& folder) {
    mopira::CTerminationSignals termination;
    QObject::connect(&termination, &mopira::CTerminationSignals::terminationRequested,
                     QCoreApplication::instance(), &QCoreApplication::quit);
    mopira::CLibraryDocument document(folder);
    document.Load();
    document.Flush();
    document.Change(mopira::AddFaces{{{"added", "new"}}});
    std::printf("changed\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int LibraryShell(const QString& folder) {
    mopira::CLibraryDocument document(folder);
    QObject::connect(&document, &mopira::CLibraryDocument::copyMerged,
                     [](const QString&, const mopira::MergeSummary& summary) {
                         std::printf("merged %zu %zu %zu\n", summary.added, summary.removed,
                                     summary.moved);
                         std::fflush(stdout);
                     });
    document.Load();
    document.Flush();
    std::printf("ready\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string buffer;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char bytes[4096];
        const ssize_t count = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (count <= 0) {
            QCoreApplication::quit();
            return;
        }
        buffer.append(bytes, static_cast<std::size_t>(count));
        for (std::size_t end; (end = buffer.find('\n')) != std::string::npos;) {
            const QStringList words = QString::fromStdString(buffer.substr(0, end)).split(u' ');
            buffer.erase(0, end + 1);
            if (words.size() == 3 && words[0] == QLatin1String("add")) {
                document.Change(
                    mopira::AddFaces{{{words[1].toStdString(), words[2].toStdString()}}});
            } else if (words[0] == QLatin1String("flush")) {
                document.Flush();
                std::printf("flushed\n");
                std::fflush(stdout);
            } else if (words[0] == QLatin1String("quit")) {
                QCoreApplication::quit();
            }
        }
    });
    return QCoreApplication::exec();
}

int Access(const QString& folder) {
    mopira::CLibraryDocument document(folder);
    document.Load();
    document.Flush();
    const char* names[] = {"writable", "unreadable", "file read-only", "folder read-only"};
    std::printf("%s\n", names[static_cast<int>(document.Access())]);
    return 0;
}

#ifdef MOPIRA_HAVE_WAYLAND
int ActivationToken() {
    struct Found {
        std::uint32_t name = 0;
        std::string token;
    } found;
    static constexpr wl_registry_listener kRegistry = {
        [](void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t) {
            if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
                static_cast<Found*>(data)->name = name;
            }
        },
        [](void*, wl_registry*, std::uint32_t) {}};
    static constexpr xdg_activation_token_v1_listener kToken = {
        [](void* data, xdg_activation_token_v1*, const char* token) {
            static_cast<Found*>(data)->token = token;
        }};
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, &found);
    wl_display_roundtrip(display);
    if (found.name == 0) {
        return 1;
    }
    auto* activation = static_cast<xdg_activation_v1*>(
        wl_registry_bind(registry, found.name, &xdg_activation_v1_interface, 1));
    xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation);
    xdg_activation_token_v1_add_listener(token, &kToken, &found);
    xdg_activation_token_v1_commit(token);
    while (found.token.empty() && wl_display_dispatch(display) >= 0) {
    }
    std::printf("%s\n", found.token.c_str());
    wl_display_disconnect(display);
    return found.token.empty() ? 1 : 0;
}
#endif

int Hold(const QString& folder) {
    mopira::CSingleInstance instance(folder);
    if (!instance.Claim()) {
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    // Only the drag and the edit need a window system.
    if (argc == 2 && qstrcmp(argv[1], "edit") == 0) {
        QApplication app(argc, argv);
        return Edit();
    }
    if (argc == 6 && qstrcmp(argv[1], "drag") == 0) {
        QApplication app(argc, argv);
        const QStringList arguments = QCoreApplication::arguments();
        return Drag(QRect(arguments[2].toInt(), arguments[3].toInt(), arguments[4].toInt(),
                          arguments[5].toInt()));
    }
#ifdef MOPIRA_HAVE_X11
    if (argc == 2 && qstrcmp(argv[1], "tray-host") == 0) {
        return TrayHost();
    }
#endif
#ifdef MOPIRA_HAVE_WAYLAND
    if (argc == 2 && qstrcmp(argv[1], "activation-token") == 0) {
        return ActivationToken();
    }
#endif
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("save-crash")) {
        return SaveCrash(arguments[2], arguments[3].toStdString());
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("hold")) {
        return Hold(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("signal-save")) {
        return SignalSave(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("access")) {
        return Access(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("library-shell")) {
        return LibraryShell(arguments[2]);
    }
    std::fprintf(stderr,
                 "usage: test_child save-crash DATA_FOLDER STEP | hold DATA_FOLDER"
                 " | signal-save DATA_FOLDER | access DATA_FOLDER | library-shell DATA_FOLDER"
                 " | drag X Y WIDTH HEIGHT | edit | tray-host | activation-token\n");
    return 2;
}
