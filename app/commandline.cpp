#include "app/commandline.h"

#include "numbers/conversions.h"
#include "results/plotpicture.h"
#include "results/windowkeys.h"

#include <QCommandLineParser>
#include <cmath>
#include <optional>

namespace {

const QString help = QStringLiteral(
    "Aufruf: zahlenlupe [Optionen]\n"
    "\n"
    "Zahlenlupe zeigt pythagoreische Tripel und \u201EFast-Tripel\u201C: alle Paare (x, y) mit\n"
    "x, y in 1..100, für die x\u00B2 + y\u00B2 \u2212 d eine Quadratzahl ist. Ohne --export und\n"
    "--list öffnet sich das Fenster, mit den angegebenen Werten als Startwerten.\n"
    "\n"
    "Optionen:\n"
    "  -h, --help             Diese Hilfe ausgeben.\n"
    "  -v, --version          Die Version ausgeben.\n"
    "  --deviation D          Abweichung d (Standard 0). Eine Zahl jenseits des\n"
    "                         double-Bereichs gilt als die größte endliche Zahl.\n"
    "  --radius R             Radius des Kreises, ganze Zahl 0..139 (Standard 25).\n"
    "  --segment X1,Y1,X2,Y2  Analysestrecke, ganze Zahlen 0..100\n"
    "                         (Standard 1,1,100,100).\n"
    "  --export DATEI         Das Bild ohne Fenster schreiben, so wie das Fenster es\n"
    "                         nach dem Start mit diesen Werten zeigt: als PNG, SVG\n"
    "                         oder PDF, je nach Endung (.png, .svg, .pdf).\n"
    "  --scale K              Das PNG K-mal so groß, ganze Zahl 1..8 (Standard 1).\n"
    "  --list                 Die Lösungen auf die Standardausgabe schreiben, eine\n"
    "                         Zeile je Paar (x, y) in der Reihenfolge der Suche:\n"
    "                         x, y, z (exakt) und primitive (ggT(x, y, z) = 1).\n"
    "  --format csv|json      Format der Liste (Standard csv, mit Kopfzeile).\n"
    "Dazu die Optionen von Qt (-platform, -style, ...).\n"
    "\n"
    "Rückgabewert: 0 bei Erfolg, 1 wenn eine Ausgabe nicht geschrieben werden kann,\n"
    "2 bei falschen Argumenten.\n"
    "\n"
    "Tasten im Fenster:\n");

// Qt's own options, which the application object takes from the command line itself.
const char *const qtOptionsWithValue[] = {"platform",      "platformpluginpath",
                                          "platformtheme", "plugin",
                                          "qmljsdebugger", "qwindowgeometry",
                                          "qwindowicon",   "qwindowtitle",
                                          "session",       "style",
                                          "stylesheet",    "display",
                                          "geometry",      "title",
                                          "name",          "dialogs",
                                          "fontengine"};
const char *const qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::optional<int> wholeNumberIn(const QString &text, int low, int high) {
    const std::optional<double> value = Conv::exactVal(text);
    if (!value || *value != std::floor(*value) || *value < low || *value > high)
        return std::nullopt;
    return static_cast<int>(*value);
}

CommandLine failure(const QString &message) {
    CommandLine result;
    result.mode = CommandLine::Mode::Error;
    result.error = message;
    return result;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption deviationOption(QStringLiteral("deviation"), {}, QStringLiteral("D"));
    const QCommandLineOption radiusOption(QStringLiteral("radius"), {}, QStringLiteral("R"));
    const QCommandLineOption segmentOption(QStringLiteral("segment"), {}, QStringLiteral("S"));
    const QCommandLineOption exportOption(QStringLiteral("export"), {}, QStringLiteral("FILE"));
    const QCommandLineOption scaleOption(QStringLiteral("scale"), {}, QStringLiteral("K"));
    const QCommandLineOption listOption(QStringLiteral("list"), {});
    const QCommandLineOption formatOption(QStringLiteral("format"), {}, QStringLiteral("F"));
    parser.addOptions({helpOption, versionOption, deviationOption, radiusOption, segmentOption,
                       exportOption, scaleOption, listOption, formatOption});
    for (const char *name : qtOptionsWithValue)
        parser.addOption(QCommandLineOption(QLatin1String(name), {}, QStringLiteral("V")));
    for (const char *name : qtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name), {}));

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("Unerwartetes Argument »%1«.")
                           .arg(parser.positionalArguments().constFirst()));
    for (const QCommandLineOption &option :
         {deviationOption, radiusOption, segmentOption, exportOption, scaleOption, formatOption}) {
        if (parser.values(option).size() > 1)
            return failure(
                QStringLiteral("--%1 ist mehrfach angegeben.").arg(option.names().constFirst()));
    }

    CommandLine result;
    if (parser.isSet(helpOption)) {
        result.mode = Mode::Help;
        result.helpText = help + WindowKeys::listText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.mode = Mode::Version;
        return result;
    }

    if (parser.isSet(deviationOption)) {
        result.start.deviationText = parser.value(deviationOption);
        if (!Conv::exactVal(result.start.deviationText))
            return failure(QStringLiteral("--deviation: »%1« ist keine Zahl.")
                               .arg(result.start.deviationText));
    }
    if (parser.isSet(radiusOption)) {
        const std::optional<int> radius = wholeNumberIn(parser.value(radiusOption), 0, 139);
        if (!radius)
            return failure(QStringLiteral("--radius: »%1« ist keine ganze Zahl von 0 bis 139.")
                               .arg(parser.value(radiusOption)));
        result.start.radius = *radius;
    }
    if (parser.isSet(segmentOption)) {
        const QStringList points = parser.value(segmentOption).split(u',');
        bool valid = points.size() == 4;
        for (qsizetype i = 0; valid && i < 4; ++i) {
            const std::optional<int> value = wholeNumberIn(points[i], 0, 100);
            valid = value.has_value();
            if (valid)
                result.start.segment[static_cast<std::size_t>(i)] = *value;
        }
        if (!valid)
            return failure(QStringLiteral("--segment: »%1« sind nicht vier ganze Zahlen von 0 bis "
                                          "100, durch Kommas getrennt (X1,Y1,X2,Y2).")
                               .arg(parser.value(segmentOption)));
    }

    result.startValuesGiven =
        parser.isSet(deviationOption) || parser.isSet(radiusOption) || parser.isSet(segmentOption);
    result.list = parser.isSet(listOption);
    if (parser.isSet(exportOption)) {
        result.exportPath = parser.value(exportOption);
        if (!PlotPicture::formatOf(result.exportPath))
            return failure(QStringLiteral("--export: »%1« endet nicht auf %2; die Endung "
                                          "bestimmt das Format.")
                               .arg(result.exportPath, PlotPicture::suffixList()));
    }
    if (parser.isSet(scaleOption)) {
        const std::optional<int> scale = wholeNumberIn(parser.value(scaleOption), 1, 8);
        if (!scale)
            return failure(QStringLiteral("--scale: »%1« ist keine ganze Zahl von 1 bis 8.")
                               .arg(parser.value(scaleOption)));
        if (PlotPicture::formatOf(result.exportPath) != PlotPicture::Format::Png)
            return failure(QStringLiteral("--scale gilt nur zusammen mit --export DATEI.png."));
        result.scale = *scale;
    }
    if (parser.isSet(formatOption)) {
        if (!result.list)
            return failure(QStringLiteral("--format gilt nur zusammen mit --list."));
        const QString format = parser.value(formatOption);
        if (format == QStringLiteral("json"))
            result.format = Format::Json;
        else if (format != QStringLiteral("csv"))
            return failure(QStringLiteral("--format: »%1« ist weder csv noch json.").arg(format));
    }
    if (result.list && result.exportPath.isEmpty() &&
        (parser.isSet(radiusOption) || parser.isSet(segmentOption)))
        return failure(
            QStringLiteral("--radius und --segment wirken nur im Fenster oder mit --export, "
                           "nicht auf --list."));
    if (result.list || !result.exportPath.isEmpty())
        result.mode = Mode::Batch;
    return result;
}
