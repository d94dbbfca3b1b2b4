#include "app/windowprogram.h"

#include "app/terminal.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace WindowProgram {

int exec(char *argv[]) {
    // Beside this program in a build tree, else where the installation puts it relative to this
    // program, so that a tree installed under any prefix finds its own.
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    QByteArray folder = length > 0 ? QByteArray(self, length) : QByteArray(argv[0]);
    folder.truncate(folder.lastIndexOf('/') + 1);
    QByteArray program = folder + ZAHLENLUPE_WINDOW_PROGRAM;
    if (::access(program.constData(), X_OK) != 0)
        program = folder + ZAHLENLUPE_WINDOW_PROGRAM_FROM_BIN;
    ::execv(program.constData(), argv);
    Terminal::complain(
        Failure(QStringLiteral("Das Programm mit dem Fenster (»%1«) lässt sich nicht "
                               "starten: %2; --list und --count gehen ohne es.")
                    .arg(QFile::decodeName(program), Failure::ofError(errno).cause())));
    return 1;
}

} // namespace WindowProgram
