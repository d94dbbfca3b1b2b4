#include "app/batch.h"

#include "app/commandline.h"
#include "app/listing.h"
#include "app/startchecks.h"
#include "app/terminal.h"
#include "canvas/canvas.h"
#include "map/mapexport.h"
#include "results/plotpicture.h"
#include "results/savefile.h"
#include "window/form1.h"

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

using Terminal::complain;

// A batch run says nothing on standard error when all is well; Qt's remarks about the session
// it finds itself in (no XDG_RUNTIME_DIR under cron or ssh, say) are not for its user. Failures
// are reported by the batch modes themselves.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        complain(Failure(message));
}

// An application on the platform that needs no display, with Qt's own options of the command line
// kept in force.
class OffscreenApplication {
public:
    OffscreenApplication(int argc, char *argv[]) : m_arguments(argv, argv + argc) {
        m_arguments.push_back(m_platformOption);
        m_arguments.push_back(m_offscreen);
        m_count = static_cast<int>(m_arguments.size());
        m_arguments.push_back(nullptr);
        m_application.emplace(m_count, m_arguments.data());
    }

private:
    char m_platformOption[10] = "-platform";
    char m_offscreen[10] = "offscreen";
    std::vector<char *> m_arguments;
    int m_count = 0; // the application keeps a reference to it
    std::optional<QApplication> m_application;
};

// The plot of a window started with the command line's values, drawn off screen. A scaled PNG is
// the same window on a screen of that many device pixels to each logical one: the same raster
// rule, K times the pixels.
int exportPlot(const CommandLine &command, int argc, char *argv[]) {
    // A factor that Qt reads but that is no size (0, -1, nan) stays as it is, for the check below
    // to name it.
    const QString factorText = qEnvironmentVariable("QT_SCALE_FACTOR");
    bool given = false;
    const double factor = factorText.toDouble(&given);
    if (command.scale != 1 && (!given || (std::isfinite(factor) && factor > 0)))
        qputenv("QT_SCALE_FACTOR", QByteArray::number((given ? factor : 1.0) * command.scale));
    const OffscreenApplication application(argc, argv);
    if (const Failure problem = StartChecks::scaleProblem(factorText, command.scale)) {
        complain(problem);
        return 1;
    }

    Form1 form;
    if (const Failure warning = StartChecks::missingFont(form.plotCanvas().font()))
        complain(warning);
    command.start.applyTo(form);
    const PlotPicture picture(form.plotCanvas(), form.radiusLabel());
    const PictureFormat::Kind format = *PictureFormat::ofFile(command.exportPath);
    const Failure failure = SaveFile::writePicture(
        command.exportPath, [&](QByteArray &bytes) { return picture.encode(format, bytes); });
    if (failure) {
        complain(failure);
        return 1;
    }
    return 0;
}

// The map's picture, drawn off screen like the window's.
int exportMap(const CommandLine &command, int argc, char *argv[]) {
    const OffscreenApplication application(argc, argv);
    const MapExport::Result result = MapExport::write(command.mapOptions);
    if (result.failure)
        complain(result.failure);
    return result.status;
}

} // namespace

namespace Batch {

int run(const CommandLine &command, int argc, char *argv[]) {
    qInstallMessageHandler(quietQt);
    if (command.map)
        return exportMap(command, argc, argv);
    if (!command.exportPath.isEmpty()) {
        const int status = exportPlot(command, argc, argv);
        if (status != 0)
            return status;
    }
    return command.list || command.count ? Listing::run(command) : 0;
}

} // namespace Batch
