#include "map/mapexport.h"

#include "map/handout.h"
#include "map/mapdeviation.h"
#include "map/mapoptions.h"
#include "map/mappicture.h"
#include "map/mapraster.h"
#include "map/mapsearch.h"
#include "map/mapstore.h"
#include "results/savefile.h"

#include "results/pictureencoder.h"

namespace MapExport {

Result write(const MapOptions &options) {
    if (options.deviations) {
        const auto [x0, y0, x1, y1] = options.cells();
        const Handout handout(*options.deviations, {options.maxLeg, options.primitiveOnly,
                                                    MapArea::cells(x0, y0, x1, y1), options.size});
        const Failure failure = SaveFile::writePicture(
            options.exportPath, [&handout](QByteArray &bytes) { return handout.writePdf(bytes); });
        return {failure ? 1 : 0, failure};
    }
    const MapDeviation::Reading d = MapDeviation::read(options.deviationText);
    if (!d.problem.isEmpty())
        return {2, Failure(QStringLiteral("--deviation: ") + d.problem)};
    const std::optional<PictureFormat::Kind> format = PictureFormat::ofFile(options.exportPath);
    if (!format)
        return {2, Failure(QStringLiteral("--export: »%1« endet nicht auf %2.")
                               .arg(options.exportPath, PictureFormat::suffixList()))};

    MapStore store(options.maxLeg, 1);
    MapSearch::Query query;
    query.deviation = d.value;
    query.maxLeg = options.maxLeg;
    query.primitiveOnly = options.primitiveOnly;
    MapSearch::runHere(query, 1,
                       [&store](std::shared_ptr<const MapBlock> block) { store.add(block); });

    // Named one by one: clang 14 lets no lambda take the names of a structured binding.
    const auto cells = options.cells();
    const std::uint32_t x0 = cells[0];
    const std::uint32_t y0 = cells[1];
    const std::uint32_t x1 = cells[2];
    const std::uint32_t y1 = cells[3];
    const MapPicture picture(store, MapArea::cells(x0, y0, x1, y1), options.deviationText,
                             options.primitiveOnly);
    const Failure failure = SaveFile::writePicture(options.exportPath, [&](QByteArray &bytes) {
        if (!options.plain)
            return picture.encode(*format, options.size.value_or(picture.naturalSize()),
                                  options.scale, bytes);
        // Its own bindings: clang before 16 does not let a lambda capture structured bindings.
        const auto [left, bottom, right, top] = options.cells();
        const QImage plain = MapRaster::plain(store, left, bottom, right, top, options.scale);
        return PictureEncoder::encode(PictureFormat::Kind::Png,
                                      {plain.size(), {}, {}, [&plain] { return plain; }, {}},
                                      bytes);
    });
    return {failure ? 1 : 0, failure};
}

} // namespace MapExport
