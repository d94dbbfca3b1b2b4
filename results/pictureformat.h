#pragma once

#include "results/failure.h"

#include <QString>
#include <optional>

// The formats every picture of the program is written in, named by the suffix of the file's name,
// and the largest picture it draws.
namespace PictureFormat {

enum class Kind { Png, Svg, Pdf };

// The format that a file name's suffix names, in either case; nothing for a name without a stem.
std::optional<Kind> ofFile(const QString &fileName);
// The suffixes of every format, for messages: ".png, .svg oder .pdf".
QString suffixList();
// Why a picture is not written under a name whose suffix names no format.
Failure unnamedIn(const QString &fileName);

// The largest picture drawn, in device pixels a side: beyond it an image alone would pass 1 GiB
// (four bytes a pixel), and it is the largest texture of common graphics hardware, where many
// viewers stop. A picture that would pass it is refused before anything is drawn.
constexpr int largestSide = 16384;

} // namespace PictureFormat
