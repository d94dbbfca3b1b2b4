#include "app/commandline.h"

#include "numbers/conversions.h"
#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"
#include "results/pictureformat.h"

#include <QCommandLineParser>
#include <QFile>
#include <array>
#include <cmath>
#include <optional>

namespace {

const QString help = QStringLiteral(
    "Aufruf: zahlenlupe [Optionen]\n"
    "\n"
    "Zahlenlupe zeigt pythagoreische Tripel und \u201EFast-Tripel\u201C: alle Paare (x, y) mit\n"
    "x, y in 1..100, für die x\u00B2 + y\u00B2 \u2212 d eine Quadratzahl ist. Ohne --export, "
    "--list\n"
    "und --count öffnet sich das Fenster, mit den angegebenen Werten als\n"
    "Startwerten.\n"
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
    "                         x, y, z (mit allen Ziffern) und primitive\n"
    "                         (ggT(x, y, z) = 1).\n"
    "  --count                Statt der Liste die Anzahl der Lösungen: count, above\n"
    "                         (x < y), below (x > y), diagonal, primitive.\n"
    "  --format csv|json      Format der Liste oder der Anzahl (Standard csv, mit\n"
    "                         Kopfzeile).\n"
    "  --primitive            Nur die Lösungen mit ggT(x, y, z) = 1.\n"
    "  --exact                Liste oder Anzahl exakt in ganzen Zahlen, mit d genau so,\n"
    "                         wie es geschrieben ist. Ohne --exact gilt die Regel des\n"
    "                         Fensters (double-Genauigkeit); sie ist exakt für ganze d\n"
    "                         mit |d| < 2^52 \u2212 1.\n"
    "  --max N                Katheten 1..N (Standard 100; N \u2260 100 nur mit --exact,\n"
    "                         bis 1000000000).\n"
    "  --legs A..B            Mit --exact: die erste Kathete x nur in A..B, y weiter\n"
    "                         in 1..N (1 \u2264 A \u2264 B \u2264 N).\n"
    "  --threads T            Mit --exact: T Threads, 1..1024 (Standard: alle Kerne,\n"
    "                         die das Programm nutzen darf).\n"
    "  --deviation A..B[:S]   Die Abweichungen A, A + S, ... bis B (S Standard 1,\n"
    "                         ganze Zahlen, höchstens 100000): mit --exact --count\n"
    "                         eine Zeile d,count,above,below,diagonal,primitive je\n"
    "                         Abweichung, auf allen Kernen gerechnet; mit --map\n"
    "                         --export DATEI.pdf ein Handzettel, eine Seite je d.\n"
    "  --map                  Die Karte: alle exakten Lösungen mit Katheten 1..N\n"
    "                         (--max bis 1000000, Standard 1000), zu --deviation D,\n"
    "                         mit --primitive nur die primitiven; allein, ohne das\n"
    "                         Fenster. Mit --export DATEI schreibt es das Bild der\n"
    "                         Karte ohne Fenster.\n"
    "  --view X0,Y0,X1,Y1     Der Ausschnitt des Bildes der Karte: die Zellen X0..X1\n"
    "                         und Y0..Y1, ganze Zahlen von 1 bis N (Standard: alles).\n"
    "  --size B,H             Breite und Höhe des Bildes der Karte in Pixeln, bis 16384\n"
    "                         (Standard 1000,1000).\n"
    "  --plain                Nur die Zellen, ein Pixel je Zelle (mit --scale K je\n"
    "                         K \u00D7 K): weiß ohne Lösung, RGB(0, 0, 255) für x < y,\n"
    "                         RGB(255, 0, 0) für x > y, RGB(0, 0, 0) für x = y; die\n"
    "                         Zelle (x, y) in Spalte x \u2212 X0, Zeile Y1 \u2212 y. Nur als PNG.\n"
    "Dazu die Optionen von Qt (-platform, -style, ...).\n"
    "\n"
    "Rückgabewert: 0 bei Erfolg, 1 wenn eine Ausgabe nicht geschrieben werden kann,\n"
    "das Bild zu groß würde oder das Fenster keinen Bildschirm findet, 2 bei falschen\n"
    "Argumenten.\n"
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

// Whole or not by the text itself: "25.0000000000000001" is not 25, though its double is.
std::optional<int> wholeNumberIn(const QString &text, int low, int high) {
    const std::optional<ExactNumber> number = ExactNumber::read(text);
    if (!number)
        return std::nullopt;
    const std::optional<std::int64_t> value = number->wholeIn(low, high);
    return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
}

// The message echoes arguments, which may hold anything a shell can pass.
CommandLine failure(const QString &message) {
    CommandLine result;
    result.refusal = Failure(CommandLine::printable(message));
    return result;
}

// The bytes as text, each byte that is not part of valid UTF-8 written as an escape (\xff).
QString escapedBytes(const QByteArray &bytes) {
    QString out;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0xc0 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        const QByteArray piece = bytes.mid(i, length);
        const QString text = QString::fromUtf8(piece);
        if (lead < 0x80 || (piece.size() == length && text.toUtf8() == piece)) {
            out += text;
            i += length;
        } else {
            out += QStringLiteral("\\x%1").arg(lead, 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return out;
}

} // namespace

QString CommandLine::helpText(const QString &keys) { return help + keys; }

CommandLine CommandLine::parse(int argc, char *argv[]) {
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return parse(arguments);
}

CommandLine CommandLine::parse(const QList<QByteArray> &raw) {
    QStringList arguments;
    for (const QByteArray &argument : raw) {
        arguments << QFile::decodeName(argument);
        if (arguments.size() > 1 && QFile::encodeName(arguments.constLast()) != argument)
            return failure(QStringLiteral("Das Argument »%1« ist kein gültiger UTF-8-Text; einen "
                                          "Dateinamen in anderer Kodierung kann zahlenlupe nicht "
                                          "genau so schreiben.")
                               .arg(escapedBytes(argument)));
    }
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
    const QCommandLineOption countOption(QStringLiteral("count"), {});
    const QCommandLineOption exactOption(QStringLiteral("exact"), {});
    const QCommandLineOption maxOption(QStringLiteral("max"), {}, QStringLiteral("N"));
    const QCommandLineOption primitiveOption(QStringLiteral("primitive"), {});
    const QCommandLineOption mapOption(QStringLiteral("map"), {});
    const QCommandLineOption viewOption(QStringLiteral("view"), {}, QStringLiteral("V"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), {}, QStringLiteral("S"));
    const QCommandLineOption plainOption(QStringLiteral("plain"), {});
    const QCommandLineOption legsOption(QStringLiteral("legs"), {}, QStringLiteral("A..B"));
    const QCommandLineOption threadsOption(QStringLiteral("threads"), {}, QStringLiteral("T"));
    parser.addOptions({helpOption, versionOption, deviationOption, radiusOption, segmentOption,
                       exportOption, scaleOption, listOption, formatOption, countOption,
                       exactOption, maxOption, primitiveOption, mapOption, viewOption, sizeOption,
                       plainOption, legsOption, threadsOption});
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
         {deviationOption, radiusOption, segmentOption, exportOption, scaleOption, formatOption,
          maxOption, viewOption, sizeOption, legsOption, threadsOption}) {
        if (parser.values(option).size() > 1)
            return failure(
                QStringLiteral("--%1 ist mehrfach angegeben.").arg(option.names().constFirst()));
    }

    CommandLine result;
    result.platform = parser.value(QStringLiteral("platform"));
    if (parser.isSet(helpOption)) {
        result.mode = Mode::Help;
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.mode = Mode::Version;
        return result;
    }

    if (parser.isSet(deviationOption)) {
        result.start.deviationText = parser.value(deviationOption);
        // A range is read where it is taken: by the map's options, or below for the counts.
        if (!DeviationRange::isRange(result.start.deviationText) &&
            !Conv::exactVal(result.start.deviationText)) {
            QString pointed = result.start.deviationText;
            pointed.replace(u',', u'.');
            const QString hint =
                pointed != result.start.deviationText && Conv::exactVal(pointed)
                    ? QStringLiteral("; das Dezimalzeichen ist der Punkt (%1)").arg(pointed)
                    : QString();
            return failure(QStringLiteral("--deviation: »%1« ist keine Zahl%2.")
                               .arg(result.start.deviationText, hint));
        }
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
        std::array<int, 4> values{};
        for (qsizetype i = 0; valid && i < 4; ++i) {
            const std::optional<int> value = wholeNumberIn(points[i], 0, 100);
            valid = value.has_value();
            if (valid)
                values[static_cast<std::size_t>(i)] = *value;
        }
        result.start.segment = {values[0], values[1], values[2], values[3]};
        if (!valid)
            return failure(QStringLiteral("--segment: »%1« sind nicht vier ganze Zahlen von 0 bis "
                                          "100, durch Kommas getrennt (X1,Y1,X2,Y2).")
                               .arg(parser.value(segmentOption)));
    }

    if (parser.isSet(mapOption)) {
        const MapOptionsReading map =
            MapOptions::read(result.start.deviationText, [&parser](const char *name) {
                return parser.isSet(QLatin1String(name))
                           ? std::optional(parser.value(QLatin1String(name)))
                           : std::nullopt;
            });
        if (!map.problem.isEmpty())
            return failure(map.problem);
        result.map = true;
        result.mapOptions = map.options;
        result.mode = map.options.exportPath.isEmpty() ? Mode::Window : Mode::Batch;
        return result;
    }
    for (const QCommandLineOption &option : {viewOption, sizeOption, plainOption}) {
        if (parser.isSet(option))
            return failure(QStringLiteral("--%1 gilt nur zusammen mit --map --export DATEI.")
                               .arg(option.names().constFirst()));
    }

    if (DeviationRange::isRange(result.start.deviationText)) {
        const DeviationRangeReading range = DeviationRange::read(result.start.deviationText);
        if (!range.problem.isEmpty())
            return failure(QStringLiteral("--deviation: ") + range.problem);
        if (!parser.isSet(exactOption) || !parser.isSet(countOption) || parser.isSet(listOption) ||
            parser.isSet(exportOption))
            return failure(QStringLiteral("--deviation %1: ein Bereich von Abweichungen gilt nur "
                                          "mit --exact --count oder mit --map --export DATEI.pdf.")
                               .arg(result.start.deviationText));
        result.deviations = range.range;
    }

    result.startValuesGiven =
        parser.isSet(deviationOption) || parser.isSet(radiusOption) || parser.isSet(segmentOption);
    result.list = parser.isSet(listOption);
    result.count = parser.isSet(countOption);
    result.exact = parser.isSet(exactOption);
    result.primitiveOnly = parser.isSet(primitiveOption);
    const bool solutions = result.list || result.count;
    if (parser.isSet(exportOption)) {
        result.exportPath = parser.value(exportOption);
        if (!PictureFormat::ofFile(result.exportPath))
            return failure(QStringLiteral("--export: »%1« endet nicht auf %2; die Endung "
                                          "bestimmt das Format.")
                               .arg(result.exportPath, PictureFormat::suffixList()));
    }
    if (parser.isSet(scaleOption)) {
        const std::optional<int> scale = wholeNumberIn(parser.value(scaleOption), 1, 8);
        if (!scale)
            return failure(QStringLiteral("--scale: »%1« ist keine ganze Zahl von 1 bis 8.")
                               .arg(parser.value(scaleOption)));
        if (PictureFormat::ofFile(result.exportPath) != PictureFormat::Kind::Png)
            return failure(QStringLiteral("--scale gilt nur zusammen mit --export DATEI.png."));
        result.scale = *scale;
    }
    if (result.list && result.count)
        return failure(QStringLiteral("--list und --count schließen einander aus: entweder die "
                                      "Lösungen oder ihre Anzahl."));
    for (const QCommandLineOption &option :
         {formatOption, exactOption, maxOption, primitiveOption, legsOption, threadsOption}) {
        if (parser.isSet(option) && !solutions)
            return failure(QStringLiteral("--%1 gilt nur zusammen mit --list oder --count.")
                               .arg(option.names().constFirst()));
    }
    if (result.exact && !result.exportPath.isEmpty())
        return failure(QStringLiteral("--exact gilt nicht für --export: das Bild zeigt immer die "
                                      "Regel des Fensters."));
    if (parser.isSet(maxOption)) {
        const QString text = parser.value(maxOption);
        const std::optional<int> max =
            wholeNumberIn(text, 1, static_cast<int>(ExactSearch::largestMax));
        if (!max)
            return failure(QStringLiteral("--max: »%1« ist keine ganze Zahl von 1 bis %2.")
                               .arg(text)
                               .arg(ExactSearch::largestMax));
        if (*max != 100 && !result.exact)
            return failure(QStringLiteral("--max %1 gilt nur mit --exact: die Regel des Fensters "
                                          "kennt nur die Katheten 1..100.")
                               .arg(text));
        result.maxLeg = *max;
    }
    for (const QCommandLineOption &option : {legsOption, threadsOption}) {
        if (parser.isSet(option) && !result.exact)
            return failure(
                QStringLiteral("--%1 gilt nur mit --exact.").arg(option.names().constFirst()));
    }
    if (parser.isSet(threadsOption)) {
        const QString text = parser.value(threadsOption);
        const std::optional<int> threads = wholeNumberIn(text, 1, 1024);
        if (!threads)
            return failure(
                QStringLiteral("--threads: »%1« ist keine ganze Zahl von 1 bis 1024.").arg(text));
        result.threads = *threads;
    }
    if (parser.isSet(legsOption)) {
        const QString text = parser.value(legsOption);
        const QStringList ends = text.split(QStringLiteral(".."));
        const std::optional<int> first =
            ends.size() == 2 ? wholeNumberIn(ends[0], 1, result.maxLeg) : std::nullopt;
        const std::optional<int> last =
            ends.size() == 2 ? wholeNumberIn(ends[1], 1, result.maxLeg) : std::nullopt;
        if (!first || !last || *first > *last)
            return failure(QStringLiteral("--legs: »%1« ist kein Bereich A..B ganzer Zahlen mit "
                                          "1 ≤ A ≤ B ≤ %2.")
                               .arg(text)
                               .arg(result.maxLeg));
        result.firstLeg = *first;
        result.lastLeg = *last;
        if (result.deviations)
            return failure(QStringLiteral("--legs gilt nur mit einer Abweichung, nicht mit dem "
                                          "Bereich »%1«.")
                               .arg(parser.value(deviationOption)));
    }
    if (result.exact && !result.deviations) {
        // A negative d of more digits than the search builds is refused; a positive one simply
        // has no solutions, and one that is not whole neither.
        const std::optional<ExactNumber> d = ExactNumber::read(result.start.deviationText);
        if (d->isWhole() && d->sign() < 0 && d->wholeDigits() > ExactSearch::largestDeviationDigits)
            return failure(QStringLiteral("--deviation: »%1« hat mehr als %2 Stellen; so große "
                                          "Abweichungen rechnet --exact nicht.")
                               .arg(result.start.deviationText)
                               .arg(ExactSearch::largestDeviationDigits));
    }
    if (parser.isSet(formatOption)) {
        const QString format = parser.value(formatOption);
        if (format == QStringLiteral("json"))
            result.format = Format::Json;
        else if (format != QStringLiteral("csv"))
            return failure(QStringLiteral("--format: »%1« ist weder csv noch json.").arg(format));
    }
    if (solutions && result.exportPath.isEmpty() &&
        (parser.isSet(radiusOption) || parser.isSet(segmentOption)))
        return failure(
            QStringLiteral("--radius und --segment wirken nur im Fenster oder mit --export, "
                           "nicht auf --list oder --count."));
    if (solutions || !result.exportPath.isEmpty())
        result.mode = Mode::Batch;
    return result;
}

QString CommandLine::printable(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control) {
            out += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return out;
}
