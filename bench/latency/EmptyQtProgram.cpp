// The reference for start-up and idle memory: a Qt widgets program that shows nothing, writes
// "idle" on standard output the first time its event loop is about to wait, and runs until it
// is ended.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    QMetaObject::Connection connection;
    connection = QObject::connect(QCoreApplication::eventDispatcher(),
                                  &QAbstractEventDispatcher::aboutToBlock, [&connection] {
                                      QObject::disconnect(connection);
                                      std::fputs("idle\n", stdout);
                                      std::fflush(stdout);
                                  });
    return QApplication::exec();
}
