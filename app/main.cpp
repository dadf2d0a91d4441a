#include <QApplication>
#include <QMainWindow>
#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt sets the C library locale from the environment; files and numbers need "C".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("QEM");
    QApplication::setApplicationName("VELTA");

    QMainWindow frame;
    frame.setWindowTitle("VELTA");
    frame.resize(1024, 768);
    frame.show();
    return app.exec();
}
