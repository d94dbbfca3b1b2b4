#include "window/form1.h"
#include "window/qttranslation.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    installQtGermanTranslation(app);
    QApplication::setApplicationName(QStringLiteral("Zahlenlupe"));
    QApplication::setApplicationVersion(QStringLiteral(ZAHLENLUPE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("zahlenlupe"));
    Form1 form;
    form.show();
    return QApplication::exec();
}
