#include "app/batch.h"

#include "app/commandline.h"
#include "numbers/conversions.h"
#include "results/plotpicture.h"
#include "results/savefile.h"
#include "results/solutionlist.h"
#include "window/form1.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void complain(const QString &message) {
    std::fprintf(stderr, "zahlenlupe: %s\n", message.toUtf8().constData());
}

// The plot of a window started with the command line's values, drawn off screen. A scaled PNG is
// the same window on a screen of that many device pixels to each logical one: the same raster
// rule, K times the pixels.
int exportPlot(const CommandLine &command, int argc, char *argv[]) {
    if (command.scale != 1) {
        bool given = false;
        const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
        qputenv("QT_SCALE_FACTOR",
                QByteArray::number((given && factor > 0 ? factor : 1.0) * command.scale));
    }
    // Qt's own options stay in force; the platform is always the one that needs no display.
    std::vector<char *> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    arguments.push_back(platformOption);
    arguments.push_back(offscreen);
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());

    Form1 form;
    command.start.applyTo(form);
    const QString failure = SaveFile::writePicture(command.exportPath, PlotPicture(form),
                                                   *PlotPicture::formatOf(command.exportPath));
    if (!failure.isEmpty()) {
        complain(failure);
        return 1;
    }
    return 0;
}

int writeList(const CommandLine &command) {
    const auto entries = SolutionList::forDeviation(Conv::Val(command.start.deviationText));
    const QByteArray text = command.format == CommandLine::Format::Json
                                ? SolutionList::toJson(entries)
                                : SolutionList::toCsv(entries);
    errno = 0;
    if (!Batch::writeAll(stdout, text)) {
        complain(QStringLiteral("Die Liste kann nicht geschrieben werden: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return 1;
    }
    return 0;
}

} // namespace

namespace Batch {

bool writeAll(std::FILE *stream, const QByteArray &bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

int run(const CommandLine &command, int argc, char *argv[]) {
    if (!command.exportPath.isEmpty()) {
        const int status = exportPlot(command, argc, argv);
        if (status != 0)
            return status;
    }
    return command.list ? writeList(command) : 0;
}

} // namespace Batch
