#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellucine"));
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
