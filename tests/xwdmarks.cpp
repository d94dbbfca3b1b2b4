// Reads a screen dump in X window dump format (what `xwd` writes) or a PNG screenshot (what a
// Wayland compositor's screenshooter writes) and checks the plot that Zahlenlupe's main window
// shows in it: which cells of 1..100 x 1..100 carry a blue, red or black mark, compared with the
// solutions of x^2 + y^2 = z^2 + d that this tool computes itself.
//
//   xwdmarks painted DUMP WINDOW_X WINDOW_Y
//       exit 0 when the canvas shows its grey border and white plot square, 1 when not (yet)
//   xwdmarks check DUMP WINDOW_X WINDOW_Y DEVIATION [RADIUS]
//       exit 0 when every cell shows the mark it should (cells close to the radius circle, whose
//       points may cover a probe pixel, are left out), 1 on any difference
//   xwdmarks opening DUMP WINDOW_X WINDOW_Y
//       check for the opening picture (deviation 0, radius 25) of a window the pointer has never
//       touched: the cells under the preview box at its design place are left out too
//
// WINDOW_X, WINDOW_Y: the screen position of the window's client area. Exit 2 on bad arguments
// or an unreadable dump.

#include <QImage>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb &) const = default;
};

constexpr Rgb markBlue{0, 0, 255};
constexpr Rgb markRed{255, 0, 0};
constexpr Rgb markBlack{0, 0, 0};
constexpr Rgb plotWhite{255, 255, 255};
constexpr Rgb borderGrey{155, 155, 155};

std::string describe(const Rgb &c) {
    if (c == markBlue)
        return "blue";
    if (c == markRed)
        return "red";
    if (c == markBlack)
        return "black";
    if (c == plotWhite)
        return "white";
    std::ostringstream out;
    out << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
    return out.str();
}

// A ZPixmap dump of a true-colour or direct-colour visual. The header fields are big-endian
// 32-bit numbers; the pixels follow the dump's own byte order and colour masks.
class XwdImage {
public:
    static std::optional<XwdImage> load(const std::string &path, std::string &error) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            error = "cannot open " + path;
            return std::nullopt;
        }
        // In one read: a character at a time takes half a second in the sanitizer build.
        XwdImage image;
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        file.seekg(0, std::ios::beg);
        if (size < 0) {
            error = "cannot read " + path;
            return std::nullopt;
        }
        image.m_bytes.resize(static_cast<std::size_t>(size));
        if (!file.read(reinterpret_cast<char *>(image.m_bytes.data()), size)) {
            error = "cannot read " + path;
            return std::nullopt;
        }
        if (!image.parse(error))
            return std::nullopt;
        return image;
    }

    int width() const { return static_cast<int>(m_width); }
    int height() const { return static_cast<int>(m_height); }

    std::optional<Rgb> pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            return std::nullopt;
        const std::uint64_t at = m_pixelStart + static_cast<std::uint64_t>(y) * m_bytesPerLine +
                                 static_cast<std::uint64_t>(x) * m_bytesPerPixel;
        std::uint32_t value = 0;
        for (std::uint32_t i = 0; i < m_bytesPerPixel; ++i) {
            const std::uint32_t byte = m_bytes[at + i];
            if (m_msbFirst)
                value = (value << 8) | byte;
            else
                value |= byte << (8 * i);
        }
        return Rgb{channel(value, m_redMask), channel(value, m_greenMask),
                   channel(value, m_blueMask)};
    }

private:
    enum Field {
        headerSize,
        fileVersion,
        pixmapFormat,
        pixmapDepth,
        pixmapWidth,
        pixmapHeight,
        xOffset,
        byteOrder,
        bitmapUnit,
        bitmapBitOrder,
        bitmapPad,
        bitsPerPixel,
        bytesPerLine,
        visualClass,
        redMask,
        greenMask,
        blueMask,
        bitsPerRgb,
        colormapEntries,
        colourCount,
        fieldCount = 25
    };

    std::uint32_t field(int index) const {
        const std::size_t at = static_cast<std::size_t>(index) * 4;
        return (std::uint32_t{m_bytes[at]} << 24) | (std::uint32_t{m_bytes[at + 1]} << 16) |
               (std::uint32_t{m_bytes[at + 2]} << 8) | std::uint32_t{m_bytes[at + 3]};
    }

    bool parse(std::string &error) {
        if (m_bytes.size() < fieldCount * 4) {
            error = "file too short for a dump header";
            return false;
        }
        const std::uint32_t size = field(headerSize);
        if (field(fileVersion) != 7 || size < fieldCount * 4 || size > m_bytes.size()) {
            error = "not an X window dump of version 7";
            return false;
        }
        if (field(pixmapFormat) != 2) {
            error = "pixmap format " + std::to_string(field(pixmapFormat)) + ", need 2 (ZPixmap)";
            return false;
        }
        const std::uint32_t visual = field(visualClass);
        if (visual != 4 && visual != 5) {
            error = "visual class " + std::to_string(visual) + ", need true or direct colour";
            return false;
        }
        const std::uint32_t bits = field(bitsPerPixel);
        if (bits != 16 && bits != 24 && bits != 32) {
            error = "unsupported " + std::to_string(bits) + " bits per pixel";
            return false;
        }
        m_width = field(pixmapWidth);
        m_height = field(pixmapHeight);
        m_bytesPerLine = field(bytesPerLine);
        m_bytesPerPixel = bits / 8;
        m_msbFirst = field(byteOrder) != 0;
        m_redMask = field(redMask);
        m_greenMask = field(greenMask);
        m_blueMask = field(blueMask);
        if (m_width == 0 || m_height == 0 || m_width > 1u << 16 || m_height > 1u << 16 ||
            std::uint64_t{m_bytesPerLine} < std::uint64_t{m_width} * m_bytesPerPixel) {
            error = "implausible image size " + std::to_string(m_width) + " x " +
                    std::to_string(m_height) + ", " + std::to_string(m_bytesPerLine) +
                    " bytes per line";
            return false;
        }
        if (m_redMask == 0 || m_greenMask == 0 || m_blueMask == 0) {
            error = "missing colour masks";
            return false;
        }
        m_pixelStart = std::uint64_t{size} + std::uint64_t{field(colourCount)} * 12;
        if (m_pixelStart + std::uint64_t{m_bytesPerLine} * m_height > m_bytes.size()) {
            error = "file ends inside the pixel data";
            return false;
        }
        return true;
    }

    // The masked bits of a pixel value, scaled to 0..255.
    static int channel(std::uint32_t value, std::uint32_t mask) {
        int shift = 0;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        const std::uint32_t maximum = mask >> shift;
        const std::uint32_t level = (value & mask) >> shift;
        return static_cast<int>((std::uint64_t{level} * 255 + maximum / 2) / maximum);
    }

    std::vector<unsigned char> m_bytes;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::uint32_t m_bytesPerLine = 0;
    std::uint32_t m_bytesPerPixel = 0;
    bool m_msbFirst = false;
    std::uint32_t m_redMask = 0;
    std::uint32_t m_greenMask = 0;
    std::uint32_t m_blueMask = 0;
    std::uint64_t m_pixelStart = 0;
};

// The screen's pixels, from either kind of dump.
using Screen = std::function<std::optional<Rgb>(int x, int y)>;

// Where the canvas lies in the window's client area, and how its world coordinates map to it:
// x runs from -5 at the left edge to 120 at the right edge, y from 115 at the top edge to -5 at
// the bottom edge.
class CanvasView {
public:
    CanvasView(Screen screen, int windowX, int windowY)
        : m_screen(std::move(screen)), m_left(windowX + 24), m_top(windowY + 48) {}

    // The canvas pixel that holds a world point.
    static int column(double x) { return static_cast<int>(std::floor((x + 5.0) * width / 125.0)); }
    static int row(double y) { return static_cast<int>(std::floor((115.0 - y) * height / 120.0)); }

    std::optional<Rgb> colourAt(double x, double y) const {
        const int px = column(x);
        const int py = row(y);
        if (px < 0 || py < 0 || px >= width || py >= height)
            return std::nullopt;
        return m_screen(m_left + px, m_top + py);
    }

    // White in the plot square (right of the grid, and in its bottom-left corner), grey in the
    // border right of it.
    bool painted() const {
        return colourAt(103, 50) == plotWhite && colourAt(-4.5, -4.5) == plotWhite &&
               colourAt(112, 90) == borderGrey && colourAt(119.5, -4.5) == borderGrey;
    }

    static constexpr int width = 745;
    static constexpr int height = 665;

private:
    Screen m_screen;
    int m_left;
    int m_top;
};

// What a cell shows: read at two points that neither the grid, the dashed diagonal nor a segment
// line along the diagonal covers.
// A stray circle point can cover one of them, so a colour counts only where both agree.
struct CellReading {
    Rgb first;
    Rgb second;
    bool agrees() const { return first == second; }
    bool isMark(const Rgb &mark) const { return agrees() && first == mark; }
    std::string text() const {
        return agrees() ? describe(first) : "mixed " + describe(first) + " / " + describe(second);
    }
};

struct Probe {
    double dx;
    double dy;
};
constexpr Probe firstProbe{0.78, 0.3};
constexpr Probe secondProbe{0.7, 0.22};

// The preview box at its design place, in canvas pixels (6720, 3480 and 2412 twips, 15 to a
// pixel), where it stays until the pointer first moves over the canvas.
bool underPreview(int x, int y) {
    const auto inside = [](int pixel, int from) { return pixel >= from && pixel < from + 161; };
    for (const Probe &p : {firstProbe, secondProbe}) {
        if (inside(CanvasView::column(x + p.dx), 448) && inside(CanvasView::row(y + p.dy), 232))
            return true;
    }
    return false;
}

bool nearCircle(int x, int y, int radius) {
    const double distance = radius + 0.5;
    for (const Probe &p : {firstProbe, secondProbe}) {
        if (std::abs(std::hypot(x + p.dx, y + p.dy) - distance) < 1.5)
            return true;
    }
    return false;
}

// The mark colour of the pair (x, y) for the deviation, or nothing when it is no solution.
std::optional<Rgb> expectedMark(int x, int y, long long deviation) {
    const long long z2 = static_cast<long long>(x) * x + static_cast<long long>(y) * y - deviation;
    if (z2 < 0)
        return std::nullopt;
    long long z = std::llround(std::sqrt(static_cast<double>(z2)));
    while (z * z > z2)
        --z;
    while ((z + 1) * (z + 1) <= z2)
        ++z;
    if (z * z != z2)
        return std::nullopt;
    return x == y ? markBlack : (x < y ? markBlue : markRed);
}

struct Cell {
    int x = 0;
    int y = 0;
    CellReading reading;
};

struct Verdict {
    int solutions = 0;
    int skipped = 0;
    int expectedBlue = 0;
    int expectedRed = 0;
    int expectedBlack = 0;
    int blue = 0;
    int red = 0;
    int black = 0;
    std::vector<std::string> differences;
};

Verdict judge(const std::vector<Cell> &cells, long long deviation, int radius, bool opening) {
    Verdict v;
    for (const Cell &cell : cells) {
        const std::optional<Rgb> mark = expectedMark(cell.x, cell.y, deviation);
        v.solutions += mark.has_value();
        if (nearCircle(cell.x, cell.y, radius) || (opening && underPreview(cell.x, cell.y))) {
            ++v.skipped;
            continue;
        }
        const CellReading &r = cell.reading;
        v.blue += r.isMark(markBlue);
        v.red += r.isMark(markRed);
        v.black += r.isMark(markBlack);
        std::string problem;
        if (mark) {
            v.expectedBlue += *mark == markBlue;
            v.expectedRed += *mark == markRed;
            v.expectedBlack += *mark == markBlack;
            if (!r.isMark(*mark))
                problem = "should be " + describe(*mark) + ", shows " + r.text();
        } else if (r.isMark(markBlue) || r.isMark(markRed) || r.isMark(markBlack)) {
            problem = "should be unmarked, shows " + r.text();
        }
        if (!problem.empty()) {
            v.differences.push_back("cell (" + std::to_string(cell.x) + ", " +
                                    std::to_string(cell.y) + ") " + problem);
        }
    }
    return v;
}

std::optional<long long> wholeNumber(const char *text) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used == std::string(text).size())
            return value;
    } catch (const std::exception &) {
    }
    return std::nullopt;
}

int usage() {
    std::cerr << "usage: xwdmarks painted DUMP WINDOW_X WINDOW_Y\n"
                 "       xwdmarks check DUMP WINDOW_X WINDOW_Y DEVIATION [RADIUS]\n"
                 "       xwdmarks opening DUMP WINDOW_X WINDOW_Y\n";
    return 2;
}

bool isPng(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    return file.read(signature, sizeof signature) &&
           std::string(signature, sizeof signature) == "\x89PNG\r\n\x1a\n";
}

std::optional<Screen> loadScreen(const std::string &path, std::string &error) {
    if (isPng(path)) {
        const QImage image(QString::fromStdString(path));
        if (image.isNull()) {
            error = "unreadable PNG";
            return std::nullopt;
        }
        return [image](int x, int y) -> std::optional<Rgb> {
            if (!image.valid(x, y))
                return std::nullopt;
            const QRgb c = image.pixel(x, y);
            return Rgb{qRed(c), qGreen(c), qBlue(c)};
        };
    }
    std::optional<XwdImage> image = XwdImage::load(path, error);
    if (!image)
        return std::nullopt;
    return [dump = std::move(*image)](int x, int y) { return dump.pixel(x, y); };
}

int checkMarks(const CanvasView &canvas, long long deviation, int radius, bool opening) {
    std::vector<Cell> cells;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            const auto a = canvas.colourAt(x + firstProbe.dx, y + firstProbe.dy);
            const auto b = canvas.colourAt(x + secondProbe.dx, y + secondProbe.dy);
            if (!a || !b) {
                std::cerr << "cell (" << x << ", " << y << ") lies outside the screen dump\n";
                return 2;
            }
            cells.push_back({x, y, {*a, *b}});
        }

    const Verdict v = judge(cells, deviation, radius, opening);
    std::cout << "deviation " << deviation << ", radius " << radius << ": " << v.solutions
              << " solutions; " << v.skipped
              << (opening ? " cells near the circle or under the preview box skipped"
                          : " cells near the circle skipped")
              << "; blue " << v.blue << " (expected " << v.expectedBlue << "), red " << v.red
              << " (expected " << v.expectedRed << "), black " << v.black << " (expected "
              << v.expectedBlack << ")\n";
    if (v.differences.empty())
        return 0;

    std::cout << v.differences.size() << " cells differ:\n";
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < v.differences.size() && i < shown; ++i)
        std::cout << "  " << v.differences[i] << "\n";
    if (v.differences.size() > shown)
        std::cout << "  ...\n";
    // A picture that belongs to a neighbouring deviation points at lost or doubled clicks.
    for (long long other = deviation - 20; other <= deviation + 20; ++other) {
        if (other != deviation && judge(cells, other, radius, opening).differences.empty())
            std::cout << "the picture matches deviation " << other << " instead\n";
    }
    return 1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 5)
        return usage();
    const std::string command = argv[1];
    const auto windowX = wholeNumber(argv[3]);
    const auto windowY = wholeNumber(argv[4]);
    if (!windowX || !windowY)
        return usage();

    std::string error;
    std::optional<Screen> screen = loadScreen(argv[2], error);
    if (!screen) {
        std::cerr << argv[2] << ": " << error << "\n";
        return 2;
    }
    const CanvasView canvas(std::move(*screen), static_cast<int>(*windowX),
                            static_cast<int>(*windowY));

    if (command == "painted" && argc == 5) {
        if (canvas.painted())
            return 0;
        std::cout << "the canvas does not show its grey border and white plot square\n";
        return 1;
    }
    if (command == "check" && (argc == 6 || argc == 7)) {
        const auto deviation = wholeNumber(argv[5]);
        const auto radius = argc == 7 ? wholeNumber(argv[6]) : std::optional<long long>(25);
        if (!deviation || !radius || *radius < 0 || *radius > 141 || *deviation < -1000000 ||
            *deviation > 1000000)
            return usage();
        return checkMarks(canvas, *deviation, static_cast<int>(*radius), false);
    }
    if (command == "opening" && argc == 5)
        return checkMarks(canvas, 0, 25, true);
    return usage();
}
