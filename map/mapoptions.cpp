#include "map/mapoptions.h"

#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"
#include "results/pictureformat.h"

#include <QStringList>

namespace {

std::optional<std::int64_t> wholeIn(const QString &text, std::int64_t low, std::int64_t high) {
    const std::optional<ExactNumber> number = ExactNumber::read(text);
    return number ? number->wholeIn(low, high) : std::nullopt;
}

MapOptionsReading refused(const QString &problem) { return {problem, {}}; }

} // namespace

// The window's own values and the lists have no place beside the map.
MapOptionsReading MapOptions::read(const QString &deviationText, const Given &given) {
    for (const char *name : {"radius", "segment", "list", "count", "exact", "format"}) {
        if (given(name))
            return refused(
                QStringLiteral("--%1 gilt nicht zusammen mit --map.").arg(QLatin1String(name)));
    }
    MapOptions map;
    map.deviationText = deviationText;
    if (DeviationRange::isRange(deviationText)) {
        const DeviationRangeReading range = DeviationRange::read(deviationText);
        if (!range.problem.isEmpty())
            return refused(QStringLiteral("--deviation: ") + range.problem);
        map.deviations = range.range;
    }
    const std::optional<ExactNumber> d = ExactNumber::read(deviationText);
    if (d && d->isWhole() && d->sign() < 0 &&
        d->wholeDigits() > ExactSearch::largestDeviationDigits)
        return refused(QStringLiteral("--deviation: »%1« hat mehr als %2 Stellen; so große "
                                      "Abweichungen rechnet die Karte nicht.")
                           .arg(deviationText)
                           .arg(ExactSearch::largestDeviationDigits));
    if (const std::optional<QString> text = given("max")) {
        const std::optional<std::int64_t> max = wholeIn(*text, 1, largestMax);
        if (!max)
            return refused(QStringLiteral("--max: »%1« ist keine ganze Zahl von 1 bis %2.")
                               .arg(*text)
                               .arg(largestMax));
        map.maxLeg = static_cast<std::uint32_t>(*max);
    }
    map.primitiveOnly = given("primitive").has_value();
    const std::optional<QString> path = given("export");
    for (const char *name : {"view", "size", "plain", "scale"}) {
        if (given(name) && !path)
            return refused(QStringLiteral("--%1 gilt nur zusammen mit --map --export DATEI.")
                               .arg(QLatin1String(name)));
    }
    if (map.deviations &&
        (!path || PictureFormat::ofFile(*path) != PictureFormat::Kind::Pdf || given("plain")))
        return refused(QStringLiteral("--deviation %1: ein Bereich von Abweichungen gilt mit --map "
                                      "nur zusammen mit --export DATEI.pdf, dem Handzettel mit "
                                      "einer Seite je Abweichung.")
                           .arg(deviationText));
    if (!path)
        return {QString(), map};

    map.exportPath = *path;
    const std::optional<PictureFormat::Kind> format = PictureFormat::ofFile(map.exportPath);
    if (!format)
        return refused(QStringLiteral("--export: »%1« endet nicht auf %2; die Endung bestimmt "
                                      "das Format.")
                           .arg(map.exportPath, PictureFormat::suffixList()));
    const bool png = *format == PictureFormat::Kind::Png;
    if (const std::optional<QString> text = given("view")) {
        map.view = readView(*text, map.maxLeg);
        if (!map.view)
            return refused(QStringLiteral("--view: »%1« sind nicht vier ganze Zahlen X0,Y0,X1,Y1 "
                                          "mit 1 \u2264 X0 \u2264 X1 \u2264 %2 und 1 \u2264 Y0 "
                                          "\u2264 Y1 \u2264 %2.")
                               .arg(*text)
                               .arg(map.maxLeg));
    }
    if (const std::optional<QString> text = given("scale")) {
        const std::optional<std::int64_t> scale = wholeIn(*text, 1, 8);
        if (!scale)
            return refused(
                QStringLiteral("--scale: »%1« ist keine ganze Zahl von 1 bis 8.").arg(*text));
        if (!png)
            return refused(QStringLiteral("--scale gilt nur zusammen mit --export DATEI.png."));
        map.scale = static_cast<int>(*scale);
    }
    const int largest = PictureFormat::largestSide;
    if (given("plain")) {
        if (!png)
            return refused(QStringLiteral("--plain gilt nur mit --export DATEI.png."));
        if (given("size"))
            return refused(QStringLiteral("--size gilt nicht mit --plain: das Bild hat ein Pixel "
                                          "je Zelle, mal --scale."));
        const auto [x0, y0, x1, y1] = map.cells();
        const std::int64_t width = std::int64_t{x1 - x0 + 1} * map.scale;
        const std::int64_t height = std::int64_t{y1 - y0 + 1} * map.scale;
        if (width > largest || height > largest)
            return refused(QStringLiteral("--plain: das Bild hätte %1 \u00D7 %2 Pixel, mehr als "
                                          "%3 je Seite; --view wählt einen kleineren Ausschnitt.")
                               .arg(width)
                               .arg(height)
                               .arg(largest));
        map.plain = true;
    }
    if (const std::optional<QString> text = given("size")) {
        map.size = readSize(*text);
        if (!map.size)
            return refused(QStringLiteral("--size: »%1« sind nicht zwei ganze Zahlen B,H von 1 bis "
                                          "%2.")
                               .arg(*text)
                               .arg(largest));
        if (std::max(map.size->width(), map.size->height()) * map.scale > largest)
            return refused(QStringLiteral("--size %1 mal --scale %2 ergibt mehr als %3 Pixel je "
                                          "Seite.")
                               .arg(*text)
                               .arg(map.scale)
                               .arg(largest));
    }
    return {QString(), map};
}

std::optional<std::array<std::uint32_t, 4>> MapOptions::readView(const QString &text,
                                                                 std::uint32_t maxLeg) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<std::uint32_t, 4> view{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<std::int64_t> value =
            wholeIn(parts[static_cast<qsizetype>(i)], 1, maxLeg);
        if (!value)
            return std::nullopt;
        view[i] = static_cast<std::uint32_t>(*value);
    }
    if (view[0] > view[2] || view[1] > view[3])
        return std::nullopt;
    return view;
}

std::optional<QSize> MapOptions::readSize(const QString &text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<std::int64_t> width = wholeIn(parts[0], 1, PictureFormat::largestSide);
    const std::optional<std::int64_t> height = wholeIn(parts[1], 1, PictureFormat::largestSide);
    if (!width || !height)
        return std::nullopt;
    return QSize(static_cast<int>(*width), static_cast<int>(*height));
}

std::array<std::uint32_t, 4> MapOptions::cells() const {
    return view.value_or(std::array<std::uint32_t, 4>{1, 1, maxLeg, maxLeg});
}
