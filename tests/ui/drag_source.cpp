// Another program that drags text, for the tests that need a real X server: shows a window at
// the geometry given as "x y width height" and prints "ready" once it is on screen. A press in
// the window starts a drag offering a copy or a move. While the drag runs it prints the drag
// cursor and where the pointer is ("cursor SHAPE X Y") every 20 ms and each action the target
// answers ("action ACTION"); at the end it prints "result ACTION" and quits.
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    // The test reads each line as it comes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: drag_source X Y WIDTH HEIGHT\n");
        return 2;
    }
    CDragSource source;
    source.setGeometry(args[1].toInt(), args[2].toInt(), args[3].toInt(), args[4].toInt());
    source.show();
    return application.exec();
}
