// At a device-pixel ratio of 2 the window keeps its layout, and the canvas is drawn at device
// resolution: lines twice as many device pixels wide, sharp edges, no enlarged low-resolution
// picture. This test runs with QT_SCALE_FACTOR=2 (set by CTest).
#include "testsupport.h"

#include "results/plotpicture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace TestSupport;

class TestHiDpi : public QObject {
    Q_OBJECT

private slots:
    void init() {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        canvas = control<Canvas>(*form, "picAusgabe");
    }
    void cleanup() { form.reset(); }

    void layoutStaysInLogicalPixels() {
        QCOMPARE(form->devicePixelRatioF(), 2.0);
        QCOMPARE(form->size(), QSize(811, 725));
        QCOMPARE(canvas->geometry(), QRect(24, 48, 745, 665));
        QCOMPARE(control<QWidget>(*form, "Command1")->geometry(), QRect(256, 16, 113, 25));
    }

    void canvasImageHasDeviceResolution() {
        QCOMPARE(canvas->image().size(), QSize(1490, 1330));
        QCOMPARE(canvas->image().devicePixelRatio(), 2.0);
        // Same picture, same marks.
        QCOMPARE(text(*form, "txtAnzahl"), QStringLiteral(" 126"));
        control<QScrollBar>(*form, "hscRadius")->setValue(0);
        const MarkCount marks = countMarks(*canvas);
        QCOMPARE(marks.blue, 63);
        QCOMPARE(marks.red, 63);
    }

    void linesAreScaledAndSharp() {
        // A light grid line (width 1) is two device pixels wide; a heavy one (width 2) four.
        const QImage &image = canvas->image();
        const auto runAt = [&image](int row, int fromColumn) {
            int x = fromColumn;
            while (x < image.width() && (image.pixel(x, row) & 0xffffffu) == 0xffffffu)
                ++x;
            int width = 0;
            while (x + width < image.width() &&
                   (image.pixel(x + width, row) & 0xffffffu) == rgb(220, 220, 220))
                ++width;
            return width;
        };
        const auto at = [&image](double x, double y) { return plotPixel(image.size(), x, y); };
        const int row = at(50, 55.5).y();
        QCOMPARE(runAt(row, at(3.3, 55.5).x()), 2);
        QCOMPARE(runAt(row, at(10.3, 55.5).x()), 4);

        // On screen: the grab of the canvas has device resolution and unblended edges.
        const QImage shown = canvas->grab().toImage();
        QCOMPARE(shown.size(), QSize(1490, 1330));
        const int x = at(3, 55.5).x();
        QCOMPARE(shown.pixel(x, row) & 0xffffffu, rgb(220, 220, 220));
        QCOMPARE(shown.pixel(x + 1, row) & 0xffffffu, rgb(220, 220, 220));
        QCOMPARE(shown.pixel(x + 2, row) & 0xffffffu, white);
        QCOMPARE(shown.pixel(x - 1, row) & 0xffffffu, white);
    }

    void savedPlotHasDeviceResolution() {
        // What Ctrl+S saves is the canvas as Qt paints it on screen, less the controls that are
        // not part of the plot; and so is a PNG exported at twice the size from a screen of
        // ratio 1.
        const QImage shown = shownPlot(*form);
        const QImage plot = PlotPicture(form->plotCanvas(), form->radiusLabel())
                                .image()
                                .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(plot.size(), QSize(1490, 1330));
        QVERIFY(plot == shown);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plot.png"));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        program.setProcessEnvironment(environment);
        program.start(
            QStringLiteral(ZAHLENLUPE_BINARY),
            {QStringLiteral("--export"), file, QStringLiteral("--scale"), QStringLiteral("2")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QImage(file).convertToFormat(QImage::Format_RGB32) == shown);
    }

    // At start-up the segment lies on the dashed diagonal; at any ratio the dashes show only
    // beside the segment's two ends (run also at a ratio of 1.5, where once they showed all along).
    void segmentCoversTheDiagonal() {
        for (const char *name : {"Label2", "txtRadius", "hscRadius", "txtHilfe", "picInfo"})
            control<QWidget>(*form, name)->hide();
        const QImage shown = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect plot(plotPixel(shown.size(), 0, 101), plotPixel(shown.size(), 101, 0));
        const int dashes = pixelsOf(shown, rgb(100, 100, 100), plot).size();
        QVERIFY2(dashes <= 30, qPrintable(QString::number(dashes)));
    }

private:
    std::unique_ptr<Form1> form;
    Canvas *canvas = nullptr;
};

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
