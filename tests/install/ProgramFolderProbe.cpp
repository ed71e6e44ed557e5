// Prints the program folder as the program computes it at start-up, so that a check can start
// this file through links and see which folder it would take its shipped files from.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts(QCoreApplication::applicationDirPath().toLocal8Bit().constData());
    return 0;
}
