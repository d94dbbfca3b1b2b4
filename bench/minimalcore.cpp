// The least a Qt program costs to start: an application object and one line on standard output.
// make bench runs it beside a batch run of the program, as the measure of its start.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    const QCoreApplication app(argc, argv);
    std::puts("count");
    return 0;
}
