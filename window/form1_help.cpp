// The help line across the top of the canvas, the information box and the exit button.
#include "window/form1.h"

#include "window/keynames.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QString helpSearch = QStringLiteral("Tripel anzeigen (Katheten sind x und y)");
const QString helpClear = QStringLiteral("Bildschirm löschen");
const QString helpInfo = QStringLiteral("Info zum Programm");
const QString helpExit = QStringLiteral("Programm beenden");
const QString helpCount = QStringLiteral("Anzahl der Lösungen im betrachteten Bereich");
const QString helpRadius =
    QStringLiteral("Radius des Kreises um den Ursprung (das ist die Hypothenusenlänge)");
const QString helpDeviation =
    QStringLiteral("Tripel (a, b, c) mit    a^2 + b^2 = c^2 + Abweichung      werden angezeigt");
const QString helpCompress = QStringLiteral("Ausgabefenster senkrecht stauchen");
const QString helpSegment = QStringLiteral("Strecke einzeichnen (Analysewerkzeug)");

} // namespace

void Form1::showHelp(const QString &text) { txtHilfe->setText(text); }

// Screen readers tell the same as the help line.
void Form1::describeControls() {
    const std::pair<QWidget *, const QString &> described[] = {
        {Command1, helpSearch}, {Command2, helpClear},   {Command5, helpInfo},
        {Command6, helpExit},   {Label1, helpCount},     {txtAnzahl, helpCount},
        {Label2, helpRadius},   {Label3, helpDeviation}, {Text1, helpDeviation},
        {Label4, helpCompress}, {txtX1, helpSegment},    {txtX2, helpSegment},
        {txtY2, helpSegment},   {txtY1, helpSegment}};
    for (const auto &[control, help] : described)
        control->setAccessibleDescription(help);
}

void Form1::Form_MouseMove(int, int, float, float) { showHelp(QString()); }
void Form1::Command1_MouseMove(int, int, float, float) { showHelp(helpSearch); }
void Form1::Command2_MouseMove(int, int, float, float) { showHelp(helpClear); }
void Form1::Command5_MouseMove(int, int, float, float) { showHelp(helpInfo); }
void Form1::Command6_MouseMove(int, int, float, float) { showHelp(helpExit); }
void Form1::Label1_MouseMove(int, int, float, float) { showHelp(helpCount); }
void Form1::txtAnzahl_MouseMove(int, int, float, float) { showHelp(helpCount); }
void Form1::Label2_MouseMove(int, int, float, float) { showHelp(helpRadius); }
void Form1::Label3_MouseMove(int, int, float, float) { showHelp(helpDeviation); }
void Form1::Text1_MouseMove(int, int, float, float) { showHelp(helpDeviation); }
void Form1::Label4_MouseMove(int, int, float, float) { showHelp(helpCompress); }
void Form1::txtX1_MouseMove(int, int, float, float) { showHelp(helpSegment); }
void Form1::txtX2_MouseMove(int, int, float, float) { showHelp(helpSegment); }
void Form1::txtY2_MouseMove(int, int, float, float) { showHelp(helpSegment); }
void Form1::txtY1_MouseDown(int, int, float, float) { showHelp(helpSegment); }

void Form1::Command5_Click() {
    // The keys are those the window has as actions.
    QString credits = QStringLiteral("Zahlenlupe – gebaut vom Zahlenlupe-Team\n");
    const QString keys = KeyNames::list(actions());
    if (!keys.isEmpty())
        credits += QStringLiteral("\nTasten:\n") + keys;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Programmiert von"), credits,
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("infoBox"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void Form1::Command6_Click() {
    close();
    QCoreApplication::exit(0);
}
