// The floor the toolkit itself sets for start-up: a Qt Widgets program that shows an empty
// main window and waits. bench_program_footprint starts it beside the program on the same
// X server and reports both times and their ratio.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.resize(660, 640);
    window.show();
    return app.exec();
}
