// What screen readers announce: a German name for every control that takes the focus or shows
// data, its help text as its description, and what the plot shows after each search.
#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textarea.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void Form1::nameControls() {
    struct Entry {
        QWidget *control;
        QString name;
    };
    const Entry entries[] = {
        {Command1, QStringLiteral("Tripel anzeigen")},
        {Command2, QStringLiteral("cls: Bildschirm löschen")},
        {Command3, QStringLiteral("+1: Abweichung um 1 erhöhen")},
        {Command4, QStringLiteral("-1: Abweichung um 1 verringern")},
        {Command5, QStringLiteral("i: Info zum Programm")},
        {Command6, QStringLiteral("X: Programm beenden")},
        {Text1, QStringLiteral("Abweichung")},
        {txtAnzahl, QStringLiteral("Anzahl der Lösungen")},
        {txtX1, QStringLiteral("Strecke, Punkt 1, x")},
        {txtY1, QStringLiteral("Strecke, Punkt 1, y")},
        {txtX2, QStringLiteral("Strecke, Punkt 2, x")},
        {txtY2, QStringLiteral("Strecke, Punkt 2, y")},
        {hscX1, QStringLiteral("Strecke, Punkt 1, x einstellen")},
        {hscY1, QStringLiteral("Strecke, Punkt 1, y einstellen")},
        {hscX2, QStringLiteral("Strecke, Punkt 2, x einstellen")},
        {hscY2, QStringLiteral("Strecke, Punkt 2, y einstellen")},
        {txtRadius, QStringLiteral("Radius des Kreises, Wert")},
        {hscRadius, QStringLiteral("Radius des Kreises einstellen")},
        {Text2, QStringLiteral("Radius am Fuß des Kreises")},
        {vscBildschirm, QStringLiteral("Höhe des Ausgabefensters")},
        {txtHilfe, QStringLiteral("Hilfezeile")},
        {picAusgabe, QStringLiteral("Lösungen")},
        {picInfo, QStringLiteral("Dreieck zur Zelle unter dem Mauszeiger")},
        {txtInfo, QStringLiteral("Werte zur Zelle unter dem Mauszeiger")},
    };
    // Labels are announced by their captions; a button's caption leads its name, so that a
    // voice-control user can say what the button shows.
    for (const Entry &entry : entries)
        entry.control->setAccessibleName(entry.name);
    // The bar's raw value counts twips; a listener wants to know how much of the plot is left.
    vscBildschirm->setSpokenAsPercentageOf(QStringLiteral("der vollen Höhe"));
    describeControls();
}

// The deviation reads as the deviation box writes it, the count as the count box shows it. After
// "cls" the plot shows no marks, and says so.
//
// Qt 6.4 has no announcement event (it came with 6.8), so the new description is what a screen
// reader can learn of a search: it is told of the change, and Orca reads it out when the plot is
// the object it is on; from any other control the count is heard when the user moves to the plot
// or to the count box.
void Form1::describePlot(bool marked) {
    const QString radius = Conv::wholeNumberText(hscRadius->value());
    QString description = QStringLiteral("Keine Lösungen eingezeichnet, Radius %1").arg(radius);
    if (marked) {
        const QString count = txtAnzahl->text().trimmed();
        const QString solutions =
            count == QLatin1String("1") ? QStringLiteral("Lösung") : QStringLiteral("Lösungen");
        description = QStringLiteral("%1 %2 für Abweichung %3, Radius %4")
                          .arg(count, solutions, Conv::Str(m_searchedDeviation).trimmed(), radius);
    }
    picAusgabe->setAccessibleDescription(description);
    // Told here rather than relied on from the setter; a reader drops a change that repeats the
    // description it already has.
    QAccessibleEvent changed(picAusgabe, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}
