#include "map/mapexport.h"

#include "map/mapdeviation.h"
#include "map/mapoptions.h"
#include "map/mappicture.h"
#include "map/mapraster.h"
#include "map/mapsearch.h"
#include "map/mapstore.h"
#include "results/savefile.h"

#include <QBuffer>

namespace MapExport {

Result write(const MapOptions &options) {
    const MapDeviation::Reading d = MapDeviation::read(options.deviationText);
    if (!d.problem.isEmpty())
        return {2, QStringLiteral("--deviation: ") + d.problem};
    const std::optional<PlotPicture::Format> format = PlotPicture::formatOf(options.exportPath);
    if (!format)
        return {2, QStringLiteral("--export: »%1« endet nicht auf %2.")
                       .arg(options.exportPath, PlotPicture::suffixList())};

    MapStore store(options.maxLeg, 1);
    MapSearch::Query query;
    query.deviation = d.value;
    query.maxLeg = options.maxLeg;
    query.primitiveOnly = options.primitiveOnly;
    MapSearch::runHere(query, 1,
                       [&store](std::shared_ptr<const MapBlock> block) { store.add(block); });

    const auto [x0, y0, x1, y1] = options.cells();
    QByteArray bytes;
    if (options.plain) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        MapRaster::plain(store, x0, y0, x1, y1, options.scale).save(&buffer, "PNG");
    } else {
        const MapPicture picture(store, MapArea::cells(x0, y0, x1, y1), options.deviationText,
                                 options.primitiveOnly);
        bytes =
            picture.encode(*format, options.size.value_or(picture.naturalSize()), options.scale);
    }
    const Failure failure = SaveFile::write(options.exportPath, bytes);
    return failure ? Result{1, failure.cause()} : Result{};
}

} // namespace MapExport
