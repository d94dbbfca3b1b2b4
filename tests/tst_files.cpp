// Files and streams written the way careful tools write them: the picture through links into
// devices and FIFOs, over hard links, read-only and foreign-owned files, under a name that is not
// UTF-8, onto a full disk and beyond its size limit, each run judged by exit status, message and
// what is on disk afterwards; the window started without a display; and the list through a
// non-blocking pipe to a slow reader.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a folder holds, sorted: the name, then "->target" for a link, "c", "p" or "d" for a
// character device, FIFO or folder, or for a file its mode, its owner when not the test's, and
// "png" when it holds a picture.
QString listing(const QString &folder) {
    QStringList entries;
    for (const QFileInfo &info : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        struct stat st {};
        lstat(QFile::encodeName(info.filePath()).constData(), &st);
        QFile file(info.filePath());
        QString entry = info.fileName() + u' ';
        if (S_ISLNK(st.st_mode))
            entry += "->" + info.symLinkTarget().section(u'/', -1);
        else if (!S_ISREG(st.st_mode))
            entry += S_ISCHR(st.st_mode) ? u'c' : S_ISFIFO(st.st_mode) ? u'p' : u'd';
        else
            entry += QString::number(st.st_mode & 07777, 8) +
                     (st.st_uid != getuid() || st.st_gid != getgid()
                          ? QStringLiteral(" %1:%2").arg(st.st_uid).arg(st.st_gid)
                          : QString()) +
                     (file.open(QIODevice::ReadOnly) && file.read(4) == "\x89PNG" ? " png" : "");
        entries << entry;
    }
    return entries.join(QStringLiteral("; "));
}

void columns() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QString>("disk");
}

void row(const char *name, QString script, int status, QByteArray err, QString disk) {
    QTest::newRow(name) << script << status << err << disk;
}

QByteArray cannotWrite(const QByteArray &cause) {
    return "zahlenlupe: »out.png« kann nicht geschrieben werden: " + cause + '\n';
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void outputs_data();
    void outputs();
    void windowWithoutDisplay_data();
    void windowWithoutDisplay() { outputs(); }
    void slowReaderGetsTheWholeList();
};

// Each script has out for the program's export into out.png. It exits with 77 where mknod,
// chown or mount is not permitted; the full disk is a small tmpfs mounted on the folder.
void TestFiles::outputs_data() {
    columns();
    const QByteArray full = "kein Platz mehr auf dem Datenträger";
    const QByteArray closed = "die Ausgabe ist geschlossen oder nicht zum Schreiben geöffnet\n";
    row("null device behind a link", "mknod null c 1 3 || exit 77; ln -s null out.png; out", 0, "",
        "null c; out.png ->null");
    row("full device behind a link", "mknod full c 1 7 || exit 77; ln -s full out.png; out", 1,
        cannotWrite(full), "full c; out.png ->full");
    row("FIFO with a reader", "mkfifo out.png; timeout 20 cat out.png > got & out", 0, "",
        "got 644 png; out.png p");
    row("FIFO without a reader", "mkfifo out.png; out", 1,
        cannotWrite("niemand liest aus der FIFO"), "out.png p");
    row("link to nothing", "ln -s gone.png out.png; out", 1,
        cannotWrite("die Verknüpfung zeigt auf »gone.png«, das es nicht gibt"),
        "out.png ->gone.png");
    row("hard link", "echo old > out.png; ln out.png b.png; out", 0, "",
        "b.png 644 png; out.png 644 png");
    row("mode kept", "echo old > out.png; chmod 604 out.png; out", 0, "", "out.png 604 png");
    row("owner, group and setuid kept",
        "echo old > out.png; chown 1234:2345 out.png || exit 77; chmod 6754 out.png; out", 0, "",
        "out.png 6754 1234:2345 png");
    row("read-only file", "echo old > out.png; chmod 444 out.png; out", 1,
        cannotWrite("die Datei ist schreibgeschützt"), "out.png 444");
    row("name not UTF-8",
        "touch \"$(printf 'a\\357\\277\\275.png')\"; \"$Z\" --export \"$(printf 'a\\377.png')\"", 2,
        "zahlenlupe: Das Argument »a\\xff.png« ist kein gültiger UTF-8-Text; einen Dateinamen in "
        "anderer Kodierung kann zahlenlupe nicht genau so schreiben.\n"
        "Mehr dazu: zahlenlupe --help\n",
        "a\uFFFD.png 644");
    const QString fullDisk = "mount -t tmpfs -o size=16k tmpfs . || exit 77; cd \"$PWD\"; "
                             "echo old > out.png; head -c 8192 /dev/zero > fill; ";
    row("full disk", fullDisk + "out", 1, cannotWrite(full), "fill 644; out.png 644");
    row("full disk, hard link", fullDisk + "ln out.png b.png; out", 1, cannotWrite(full),
        "b.png 644; fill 644; out.png 644");
    row("version, standard output closed", "\"$Z\" --version >&-", 1,
        "zahlenlupe: Die Version kann nicht geschrieben werden: " + closed, "");
    row("picture and list, standard output closed", "out --list >&-", 1,
        "zahlenlupe: Die Liste kann nicht geschrieben werden: " + closed, "out.png 644 png");
    for (const char *factor : {"0", "-1", "nan"})
        row(("scale factor " + QByteArray(factor)).constData(),
            "QT_SCALE_FACTOR=" + QString::fromLatin1(factor) + " out", 1,
            QByteArray("zahlenlupe: Der Maßstab ") + factor + " (aus QT_SCALE_FACTOR=»" + factor +
                "«) ist keine endliche Zahl größer als 0; so lässt sich kein Bild zeichnen.\n",
            "");
    row("scale factor 3 times --scale 8", "QT_SCALE_FACTOR=3 out --scale 8", 1,
        "zahlenlupe: Das Bild hätte 17880 × 15960 Pixel (745 × 665 mal 24, aus QT_SCALE_FACTOR=»3« "
        "mal --scale 8); zahlenlupe zeichnet höchstens 16384 Pixel je Seite, damit das Bild unter "
        "1 GiB bleibt und gängige Programme es zeigen.\n",
        "");
    row("no fonts", "printf '<fontconfig/>' > f.conf; FONTCONFIG_FILE=$PWD/f.conf out", 0,
        "zahlenlupe: Warnung: fontconfig findet für »Times New Roman« keine Schrift und keinen "
        "Ersatz mit Ziffern; die Beschriftungen des Bildes bleiben leer (Abhilfe: das "
        "Debian-Paket fonts-liberation).\n",
        "f.conf 644; out.png 644 png");
}

// The script in a folder of its own, the program as $Z, with no display of any kind in its
// environment.
void TestFiles::outputs() {
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QByteArray, err);
    QFETCH(QString, disk);
    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"),
         "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_RUNTIME_DIR; umask 022; Z=$0\n"
         "out() { \"$Z\" --export out.png \"$@\"; }\n" +
             script + "\ns=$?; wait; exit $s",
         QStringLiteral(ZAHLENLUPE_BINARY)});
    if (!process.waitForFinished(30000))
        process.kill(); // a run that hangs fails, and is not left running
    process.waitForFinished();
    const QString found = listing(dir.path());
    QProcess::execute(QStringLiteral("sh"), {"-c", "umount -l \"$0\" 2>/dev/null", dir.path()});
    if (process.exitCode() == 77)
        QSKIP(qPrintable("mknod, chown or mount is not permitted here: " + script));
    QCOMPARE(process.readAllStandardError(), err);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(found, disk);
}

// One German line that says what is missing, and status 1.
void TestFiles::windowWithoutDisplay_data() {
    columns();
    row("no display named", "\"$Z\"", 1,
        "zahlenlupe: Das Fenster braucht einen Bildschirm, aber weder DISPLAY noch WAYLAND_DISPLAY "
        "ist gesetzt. Ohne Bildschirm arbeiten --export, --list und --count.\n",
        "");
    row("a platform plugin that is not there", "DISPLAY=:1999 QT_QPA_PLATFORM=bogus \"$Z\"", 1,
        "zahlenlupe: Das Fenster kann nicht öffnen: Qt kann keine Plattform starten "
        "(QT_QPA_PLATFORM=»bogus«, DISPLAY=»:1999«, WAYLAND_DISPLAY nicht gesetzt); der Bildschirm "
        "ist nicht erreichbar, oder das Plattform-Plugin fehlt oder ist defekt. Ohne Bildschirm "
        "arbeiten --export, --list und --count.\n",
        "");
}

// A non-blocking pipe is full at once; the program waits for the reader rather than stop there.
void TestFiles::slowReaderGetsTheWholeList() {
    int ends[2];
    QCOMPARE(pipe2(ends, O_CLOEXEC), 0);
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    QProcess process;
    process.setChildProcessModifier([&ends] { dup2(ends[1], STDOUT_FILENO); });
    process.start(QStringLiteral(ZAHLENLUPE_BINARY),
                  {"--deviation", "-1e400", "--list", "--format", "json"});
    close(ends[1]);
    const int capacity = fcntl(ends[0], F_GETPIPE_SZ);
    for (int queued = 0, waits = 0; queued < capacity && waits++ < 2500; QTest::qWait(2))
        ioctl(ends[0], FIONREAD, &queued);
    QFile reader;
    reader.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray list = reader.readAll();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(list.count('\n'), 10002);
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
