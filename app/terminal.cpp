#include "app/terminal.h"

#include "app/commandline.h"
#include "results/output.h"
#include "window/qttranslation.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace Terminal {

void complain(const Failure &failure) {
    std::fprintf(stderr, "zahlenlupe: %s\n",
                 CommandLine::printable(failure.cause()).toUtf8().constData());
}

int writeOut(const QByteArray &bytes, const char *what) {
    const Failure failed =
        Output::writeAll(STDOUT_FILENO, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!failed)
        return 0;
    complain(failed.writing(QLatin1String(what)));
    return 1;
}

int refuse(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    installQtGermanTranslation(app);
    complain(CommandLine::parse(argc, argv).refusal);
    std::fputs("Mehr dazu: zahlenlupe --help\n", stderr);
    return 2;
}

} // namespace Terminal
