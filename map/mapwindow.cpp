#include "map/mapwindow.h"

#include "map/comparepane.h"
#include "map/countchart.h"
#include "map/familypanel.h"
#include "map/fieldmark.h"
#include "map/mapdeviation.h"
#include "map/mapkeys.h"
#include "map/mapoptions.h"
#include "map/mappicture.h"
#include "map/maptext.h"
#include "map/maptriangle.h"
#include "map/mapview.h"
#include "map/playcontrols.h"
#include "numbers/exactnumber.h"
#include "window/keynames.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The keys the plot answers while it has the focus.
const char *const plotKeys[][2] = {
    {"+, \u2212, Mausrad", "vergrößern, verkleinern"},
    {"Pfeiltasten, Ziehen", "verschieben"},
    {"Pos1", "der ganze Bereich 1..N"},
    {"Klick", "Zelle wählen"},
    {"N, Umschalt+N", "nächste, vorige Lösung in der Reihenfolge der Suche"},
};

// The explorer's keys, which work wherever the focus is in the window; one list feeds the
// actions and the text that names them.
struct ExplorerKey {
    QKeyCombination keys;
    const char *what;
};
constexpr ExplorerKey playKey{Qt::CTRL | Qt::Key_Space, "abspielen, anhalten"};
constexpr ExplorerKey forwardKey{Qt::CTRL | Qt::Key_Period, "einen Schritt vor"};
constexpr ExplorerKey backKey{Qt::CTRL | Qt::Key_Comma, "einen Schritt zurück"};
constexpr ExplorerKey compareKey{Qt::CTRL | Qt::Key_D,
                                 "zwei Abweichungen vergleichen, d und eine zweite"};
constexpr ExplorerKey faintKey{Qt::CTRL | Qt::Key_K, "alle Familien bis k = K blass zeichnen"};
constexpr const ExplorerKey *explorerKeys[] = {&playKey, &forwardKey, &backKey, &compareKey,
                                               &faintKey};

// −d as a text: the sign of the text turned.
QString negated(const QString &text, const std::optional<mpz_class> &whole) {
    if (whole)
        return QString::fromStdString(mpz_class(-*whole).get_str());
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('-')))
        return trimmed.sliced(1);
    if (trimmed.startsWith(QLatin1Char('+')))
        return QLatin1Char('-') + trimmed.sliced(1);
    return QLatin1Char('-') + trimmed;
}

const char *const countRows[][2] = {
    {"Lösungen", "alle Lösungen"},
    {"x < y", "über der Diagonale: x < y"},
    {"x > y", "unter der Diagonale: x > y"},
    {"x = y", "auf der Diagonale: x = y"},
    {"primitiv", "primitiv: ggT(x, y, z) = 1"},
};

} // namespace

MapWindow::MapWindow(const QString &deviationText, std::uint32_t maxLeg, bool primitiveOnly,
                     QWidget *parent)
    : QMainWindow(parent), m_maxLeg(std::clamp<std::uint32_t>(maxLeg, 1, MapOptions::largestMax)),
      m_primitiveOnly(primitiveOnly) {
    setObjectName(QStringLiteral("MapWindow"));
    buildControls();
    buildMenus();
    m_countsLater.setSingleShot(true);
    m_countsLater.setInterval(0);
    connect(&m_countsLater, &QTimer::timeout, this, &MapWindow::showCounts);
    connect(&m_search, &MapSearch::blockReady, this, &MapWindow::takeBlock);
    connect(&m_search, &MapSearch::progressed, this, [this](double done) {
        m_progress->setValue(static_cast<int>(done * m_progress->maximum()));
    });
    connect(&m_search, &MapSearch::finished, this, &MapWindow::searchEnded);
    connect(&m_player, &DeviationPlayer::frameShown, this, &MapWindow::showFrame);
    connect(m_view, &MapView::pictureDrawn, &m_player, &DeviationPlayer::frameDrawn);
    m_player.setQuery(m_maxLeg, m_primitiveOnly);
    m_chart->setRange(m_maxLeg, m_primitiveOnly);
    resize(1400, 860);

    m_deviationField->setText(deviationText);
    const MapDeviation::Reading reading = MapDeviation::read(deviationText);
    if (reading.problem.isEmpty()) {
        m_deviationText = deviationText;
        m_deviation = reading.value;
        m_whole = reading.whole;
    } else {
        // A text that is no deviation opens the map of 0, with the field saying why.
        m_deviationText = QStringLiteral("0");
        m_deviation = mpz_class(0);
        markField(*m_deviationField, reading.problem);
    }
    startSearch(true);
    m_play->followDeviation(m_deviation);
}

MapWindow::~MapWindow() = default;

void MapWindow::buildControls() {
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *controls = new QHBoxLayout;
    layout->addLayout(controls);

    auto *deviationLabel = new QLabel(QStringLiteral("&Abweichung d:"), central);
    m_deviationField = new QLineEdit(central);
    m_deviationField->setObjectName(QStringLiteral("deviation"));
    m_deviationField->setAccessibleName(QStringLiteral("Abweichung d"));
    m_deviationField->setMinimumWidth(120);
    deviationLabel->setBuddy(m_deviationField);
    auto *down = new QPushButton(QStringLiteral("\u2212"), central);
    down->setObjectName(QStringLiteral("deviationDown"));
    down->setAccessibleName(QStringLiteral("Abweichung um 1 verkleinern"));
    down->setToolTip(down->accessibleName());
    auto *up = new QPushButton(QStringLiteral("+"), central);
    up->setObjectName(QStringLiteral("deviationUp"));
    up->setAccessibleName(QStringLiteral("Abweichung um 1 vergrößern"));
    up->setToolTip(up->accessibleName());
    for (QPushButton *button : {down, up})
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    controls->addWidget(deviationLabel);
    controls->addWidget(down);
    controls->addWidget(m_deviationField, 1);
    controls->addWidget(up);
    controls->addSpacing(16);

    auto *maxLabel = new QLabel(QStringLiteral("&Katheten bis N:"), central);
    m_maxField = new QLineEdit(QString::number(m_maxLeg), central);
    m_maxField->setObjectName(QStringLiteral("maxLeg"));
    m_maxField->setAccessibleName(QStringLiteral("Katheten bis N"));
    m_maxField->setMaximumWidth(
        m_maxField->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 16);
    maxLabel->setBuddy(m_maxField);
    controls->addWidget(maxLabel);
    controls->addWidget(m_maxField);
    controls->addSpacing(16);

    auto *filterLabel = new QLabel(QStringLiteral("An&zeigen:"), central);
    m_filter = new QComboBox(central);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setAccessibleName(QStringLiteral("Anzeigen"));
    m_filter->addItems({QStringLiteral("alle Lösungen"), QStringLiteral("nur primitive")});
    m_filter->setCurrentIndex(m_primitiveOnly ? 1 : 0);
    filterLabel->setBuddy(m_filter);
    controls->addWidget(filterLabel);
    controls->addWidget(m_filter);
    controls->addSpacing(16);
    m_comparing = new QCheckBox(QStringLiteral("&Vergleichen"), central);
    m_comparing->setObjectName(QStringLiteral("compare"));
    m_comparing->setToolTip(QStringLiteral("Zeigt eine zweite Abweichung (zuerst −d) "
                                           "daneben, mit gemeinsamem Ausschnitt (Strg+D)."));
    auto *compareField = new QLineEdit(central);
    compareField->setObjectName(QStringLiteral("compareDeviation"));
    compareField->setAccessibleName(QStringLiteral("Zweite Abweichung"));
    compareField->setToolTip(QStringLiteral("Die Abweichung der zweiten Karte"));
    compareField->setMaximumWidth(
        compareField->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 16);
    compareField->setEnabled(false);
    connect(m_comparing, &QCheckBox::toggled, compareField, &QLineEdit::setEnabled);
    controls->addWidget(m_comparing);
    controls->addWidget(compareField);
    controls->addStretch(1);

    m_progress = new QProgressBar(central);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(QStringLiteral("Fortschritt der Suche"));
    m_progress->setRange(0, 1000);
    m_progress->setMaximumWidth(160);
    m_cancel = new QPushButton(QStringLiteral("Abbre&chen"), central);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAccessibleName(QStringLiteral("Suche abbrechen"));
    controls->addWidget(m_progress);
    controls->addWidget(m_cancel);

    m_play = new PlayControls(m_player, central);
    m_play->setObjectName(QStringLiteral("playControls"));
    layout->addWidget(m_play);

    m_note = new QLabel(central);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_note);

    auto *middle = new QHBoxLayout;
    layout->addLayout(middle, 1);
    auto *mainPane = new QVBoxLayout;
    m_caption = new QLabel(central);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setWordWrap(true);
    m_caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_caption->hide();
    mainPane->addWidget(m_caption);
    m_view = new MapView(central);
    m_view->setObjectName(QStringLiteral("map"));
    mainPane->addWidget(m_view, 1);
    middle->addLayout(mainPane, 1);
    m_compare = new ComparePane(*compareField, central);
    m_compare->setObjectName(QStringLiteral("comparePane"));
    m_compare->hide();
    middle->addWidget(m_compare, 1);

    // The side panel scrolls where the window is too low for all of it.
    auto *sideArea = new QScrollArea(central);
    sideArea->setWidgetResizable(true);
    sideArea->setFrameShape(QFrame::NoFrame);
    sideArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *sidePanel = new QWidget(sideArea);
    auto *side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    sideArea->setWidget(sidePanel);
    sideArea->setFixedWidth(300 + sideArea->verticalScrollBar()->sizeHint().width());
    middle->addWidget(sideArea);
    auto *selection = new QGroupBox(QStringLiteral("Gewählte Zelle"), sidePanel);
    auto *selectionLayout = new QVBoxLayout(selection);
    m_triangle = new MapTriangle(selection);
    m_triangle->setObjectName(QStringLiteral("triangle"));
    m_triangle->setAccessibleName(QStringLiteral("Dreieck der gewählten Zelle"));
    // Small enough that the families and the counts fit below it.
    m_triangle->setMaximumHeight(200);
    m_selectionTitle = new QLabel(selection);
    m_selectionTitle->setObjectName(QStringLiteral("selectionTitle"));
    m_selectionEquation = new QLabel(selection);
    m_selectionEquation->setObjectName(QStringLiteral("selectionEquation"));
    m_selectionDetails = new QLabel(selection);
    m_selectionDetails->setObjectName(QStringLiteral("selectionDetails"));
    for (QLabel *label : {m_selectionTitle, m_selectionEquation, m_selectionDetails}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    QFont larger = m_selectionEquation->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    m_selectionEquation->setFont(larger);
    selectionLayout->addWidget(m_triangle);
    selectionLayout->addWidget(m_selectionTitle);
    selectionLayout->addWidget(m_selectionEquation);
    selectionLayout->addWidget(m_selectionDetails);
    selection->setFixedWidth(300);
    side->addWidget(selection);
    m_familyPanel = new FamilyPanel(sidePanel);
    m_familyPanel->setObjectName(QStringLiteral("families"));
    m_familyPanel->setFixedWidth(300);
    side->addWidget(m_familyPanel);

    auto *counts = new QGroupBox(QStringLiteral("Anzahlen"), sidePanel);
    auto *grid = new QGridLayout(counts);
    grid->addWidget(new QLabel(QStringLiteral("<b>in 1..N</b>"), counts), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("<b>im Ausschnitt</b>"), counts), 0, 2,
                    Qt::AlignRight);
    const char *const columnNames[] = {"All", "View"};
    const char *const rowNames[] = {"Total", "Above", "Below", "Diagonal", "Primitive"};
    for (int row = 0; row < 5; ++row) {
        auto *name = new QLabel(QString::fromUtf8(countRows[row][0]), counts);
        name->setToolTip(QString::fromUtf8(countRows[row][1]));
        grid->addWidget(name, row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            auto *label = new QLabel(counts);
            label->setObjectName(
                QStringLiteral("count%1%2")
                    .arg(QLatin1String(rowNames[row]), QLatin1String(columnNames[column])));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setAccessibleName(
                QString::fromUtf8(countRows[row][1]) +
                (column == 0 ? QStringLiteral(" in 1..N") : QStringLiteral(" im Ausschnitt")));
            grid->addWidget(label, row + 1, column + 1);
            m_counts[row][column] = label;
        }
    }
    m_viewRange = new QLabel(counts);
    m_viewRange->setObjectName(QStringLiteral("viewRange"));
    m_viewRange->setWordWrap(true);
    grid->addWidget(m_viewRange, 6, 0, 1, 3);
    counts->setFixedWidth(300);
    side->addWidget(counts);
    side->addStretch(1);

    m_pointer = new QLabel(this);
    m_pointer->setObjectName(QStringLiteral("pointer"));
    m_pointer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(m_pointer, 1);
    setCentralWidget(central);

    // The chart beside the map, in a dock of its own that can be moved, floated or closed.
    auto *dock = new QDockWidget(QStringLiteral("Anzahl über d"), this);
    dock->setObjectName(QStringLiteral("chartDock"));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                      QDockWidget::DockWidgetClosable);
    m_chart = new CountChart(dock);
    m_chart->setObjectName(QStringLiteral("chart"));
    dock->setWidget(m_chart);
    dock->setMinimumWidth(m_chart->minimumSizeHint().width() + 24);
    addDockWidget(Qt::RightDockWidgetArea, dock);

    setTabOrder(down, m_deviationField);
    setTabOrder(m_deviationField, up);
    setTabOrder(up, m_maxField);
    setTabOrder(m_maxField, m_filter);
    setTabOrder(m_filter, m_comparing);
    setTabOrder(m_comparing, compareField);
    setTabOrder(compareField, m_cancel);
    setTabOrder(m_cancel, m_view);

    connect(m_deviationField, &QLineEdit::returnPressed, this, &MapWindow::applyDeviation);
    connect(down, &QPushButton::clicked, this, [this] { stepDeviation(-1); });
    connect(up, &QPushButton::clicked, this, [this] { stepDeviation(1); });
    connect(m_maxField, &QLineEdit::returnPressed, this, &MapWindow::applyMaxLeg);
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_primitiveOnly = index == 1;
        startSearch(false);
        rangeChanged();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        m_search.cancel();
    });
    connect(m_view, &MapView::viewChanged, &m_countsLater, qOverload<>(&QTimer::start));
    connect(m_view, &MapView::hovered, this, &MapWindow::showPointer);
    connect(m_view, &MapView::selectionChanged, this, &MapWindow::showSelection);
    connect(m_comparing, &QCheckBox::toggled, this, &MapWindow::setComparing);
    const auto tell = [this](const QString &problem) {
        m_problem = problem;
        showNote();
    };
    connect(m_play, &PlayControls::problem, this, tell);
    connect(m_compare, &ComparePane::problem, this, tell);
    connect(m_familyPanel, &FamilyPanel::faintChanged, this, &MapWindow::showFaint);
    connect(m_view, &MapView::viewChanged, this,
            [this] { followView(*m_view, m_compare->view()); });
    connect(&m_compare->view(), &MapView::viewChanged, this,
            [this] { followView(m_compare->view(), *m_view); });
    connect(m_compare, &ComparePane::pointerText, m_pointer, &QLabel::setText);
    connect(m_compare, &ComparePane::searchStarted, this, &MapWindow::showFaint);
    // The plot takes the keys first: N, + and − work at once; Alt+A reaches the deviation.
    m_view->setFocus();
}

void MapWindow::buildMenus() {
    new MapKeys(*this, *menuBar()->addMenu(QStringLiteral("&Datei")), [this] {
        const MapArea area = pictureArea();
        const double scale = m_view->viewport().scale();
        MapPicture picture(*m_store, area, m_deviationText, m_primitiveOnly);
        picture.setFamilies(m_view->families());
        const QSize plot(std::max(1, static_cast<int>(std::lround(area.width() / scale))),
                         std::max(1, static_cast<int>(std::lround(area.height() / scale))));
        const QSize size = picture.sizeForPlot(plot);
        std::optional<Handout> handout;
        if (m_player.range())
            handout.emplace(*m_player.range(),
                            Handout::Sheet{m_maxLeg, m_primitiveOnly, area, size});
        return MapKeys::Shown{std::move(picture), size, m_deviationText, std::move(handout)};
    });

    // The plot's own keys work while it has the focus; the menu names them and does the same.
    QMenu *view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    const auto entry = [this, view](const QString &text, auto slot) {
        connect(view->addAction(text), &QAction::triggered, this, slot);
    };
    entry(QStringLiteral("&Vergrößern\t+"), [this] { m_view->zoomBy(std::sqrt(2.0)); });
    entry(QStringLiteral("Ver&kleinern\t\u2212"), [this] { m_view->zoomBy(1 / std::sqrt(2.0)); });
    entry(QStringLiteral("&Ganzer Bereich\tPos1"), [this] { m_view->showAll(); });
    view->addSeparator();
    entry(QStringLiteral("&Nächste Lösung\tN"), [this] { m_view->selectNeighbour(1); });
    entry(QStringLiteral("V&orige Lösung\tUmschalt+N"), [this] { m_view->selectNeighbour(-1); });
    view->addSeparator();
    entry(QStringLiteral("Karte &fokussieren"), [this] { m_view->setFocus(); });
    view->addSeparator();
    const auto key = [](QAction *action, const ExplorerKey &which) {
        action->setShortcut(QKeySequence(which.keys));
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    QAction *compare = key(view->addAction(QStringLiteral("&Vergleichen")), compareKey);
    compare->setCheckable(true);
    connect(compare, &QAction::toggled, this, &MapWindow::setComparing);
    connect(m_comparing, &QCheckBox::toggled, compare, &QAction::setChecked);
    QAction *faint = key(view->addAction(QStringLiteral("Alle Fa&milien bis k")), faintKey);
    faint->setCheckable(true);
    connect(faint, &QAction::toggled, m_familyPanel, &FamilyPanel::setFaint);
    connect(m_familyPanel, &FamilyPanel::faintChanged, faint,
            [faint](int upTo) { faint->setChecked(upTo > 0); });

    QMenu *film = menuBar()->addMenu(QStringLiteral("Ab&spielen"));
    connect(key(film->addAction(QStringLiteral("&Abspielen, anhalten")), playKey),
            &QAction::triggered, this, [this] {
                if (m_player.playing())
                    m_player.pause();
                else
                    m_player.play();
            });
    connect(key(film->addAction(QStringLiteral("Schritt &vor")), forwardKey), &QAction::triggered,
            this, [this] { m_player.step(1); });
    connect(key(film->addAction(QStringLiteral("Schritt &zurück")), backKey), &QAction::triggered,
            this, [this] { m_player.step(-1); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    connect(
        help->addAction(QStringLiteral("&Tasten der Karte")), &QAction::triggered, this,
        [this] { QMessageBox::information(this, QStringLiteral("Tasten der Karte"), keysText()); });
}

QString MapWindow::keysText() {
    QString text = MapKeys::listText();
    for (const ExplorerKey *key : explorerKeys)
        text += KeyNames::line(QKeySequence(key->keys), QString::fromUtf8(key->what));
    for (const auto &key : plotKeys)
        text += QString::fromUtf8(key[0]) + QStringLiteral(": ") + QString::fromUtf8(key[1]) +
                QLatin1Char('\n');
    return text;
}

void MapWindow::markField(QLineEdit &field, const QString &problem) {
    FieldMark::show(field, problem);
    m_problem = problem;
    showNote();
}

void MapWindow::setDeviation(const QString &text) {
    m_deviationField->setText(text);
    applyDeviation();
}

void MapWindow::applyDeviation() {
    const QString text = m_deviationField->text();
    const MapDeviation::Reading reading = MapDeviation::read(text);
    markField(*m_deviationField, reading.problem);
    if (!reading.problem.isEmpty())
        return;
    followInCompare(text, reading.value);
    m_deviationText = text;
    m_deviation = reading.value;
    m_whole = reading.whole;
    m_player.pause();
    startSearch(false);
    m_play->followDeviation(m_deviation);
}

void MapWindow::followInCompare(const QString &text, const std::optional<mpz_class> &value) {
    if (m_compare->isVisible() &&
        m_compare->deviationText() == negated(m_deviationText, m_deviation))
        m_compare->setDeviation(negated(text, value));
}

void MapWindow::stepDeviation(int step) {
    const MapDeviation::Step next = MapDeviation::step(m_deviationField->text(), step);
    if (next.text.isEmpty()) {
        markField(*m_deviationField, next.problem);
        return;
    }
    setDeviation(next.text);
}

void MapWindow::applyMaxLeg() {
    const QString text = m_maxField->text();
    const std::optional<ExactNumber> number = ExactNumber::read(text);
    const std::optional<std::int64_t> max =
        number ? number->wholeIn(1, MapOptions::largestMax) : std::nullopt;
    if (!max) {
        markField(*m_maxField, QStringLiteral("»%1« ist keine ganze Zahl von 1 bis %2.")
                                   .arg(text)
                                   .arg(MapOptions::largestMax));
        return;
    }
    markField(*m_maxField, QString());
    const bool changed = static_cast<std::uint32_t>(*max) != m_maxLeg;
    m_maxLeg = static_cast<std::uint32_t>(*max);
    startSearch(changed);
    rangeChanged();
}

// A new N or filter: the film's frames and the chart's counts are of other maps now.
void MapWindow::rangeChanged() {
    m_player.setQuery(m_maxLeg, m_primitiveOnly);
    m_chart->setRange(m_maxLeg, m_primitiveOnly);
    if (m_compare->isVisible())
        m_compare->setRange(m_maxLeg, m_primitiveOnly);
}

void MapWindow::startSearch(bool newRange) {
    MapSearch::Query query;
    query.deviation = m_deviation;
    query.maxLeg = m_maxLeg;
    query.primitiveOnly = m_primitiveOnly;
    const std::uint64_t generation = m_search.start(query);
    m_cancelled = false;
    if (newRange || !m_store) {
        m_next.reset();
        m_store = std::make_unique<MapStore>(m_maxLeg, generation);
        m_view->setRange(m_maxLeg);
        m_view->setStore(m_store.get());
    } else {
        m_next = std::make_unique<MapStore>(m_maxLeg, generation);
    }
    m_progress->setValue(0);
    m_cancel->setEnabled(true);
    showTitle();
    showNote();
    m_countsLater.start();
    showSelection();
    showFaint();
}

void MapWindow::showTitle() {
    // A title bar shows a few dozen characters; a d of a thousand digits is shortened there.
    QString family = MapText::family(m_deviationText, m_deviation);
    if (family.size() > 80)
        family = family.left(40) + QStringLiteral("…") + family.right(30);
    setWindowTitle(QStringLiteral("Karte: %1 – Zahlenlupe").arg(family));
}

// A frame of the film: the whole map of its d at once, in place of the map shown.
void MapWindow::showFrame(std::int64_t index, const std::shared_ptr<const MapBlock> &block) {
    const mpz_class d = m_player.range()->at(index);
    m_search.cancel();
    m_next.reset();
    m_cancelled = false;
    const QString text = QString::fromStdString(d.get_str());
    followInCompare(text, d);
    m_deviationText = text;
    m_deviation = d;
    m_whole = true;
    m_deviationField->setText(m_deviationText);
    markField(*m_deviationField, QString());
    auto store = std::make_unique<MapStore>(m_maxLeg, block->generation);
    store->add(block);
    m_store = std::move(store);
    m_view->setStore(m_store.get());
    m_progress->setValue(m_progress->maximum());
    m_cancel->setEnabled(false);
    showTitle();
    showCounts();
    showSelection();
    showFaint();
    chartCount();
    // A view that draws nothing (not shown yet) has nothing to wait for.
    if (m_view->pictureComplete())
        m_player.frameDrawn();
}

// The count of a map that is complete goes into the chart.
void MapWindow::chartCount() {
    if (!m_store || !m_store->complete() || !m_deviation)
        return;
    const MapCounts &c = m_store->counts();
    m_chart->add({*m_deviation, c.total(), c.above, c.below, c.diagonal, c.primitive});
}

void MapWindow::showFaint() {
    const int upTo = m_familyPanel->faintUpTo();
    m_view->showFaintFamilies(m_deviation, upTo);
    m_compare->view().showFaintFamilies(m_compare->deviation(), upTo);
}

void MapWindow::setComparing(bool on) {
    m_comparing->setChecked(on);
    if (on == m_compare->isVisible())
        return;
    m_compare->setVisible(on);
    m_caption->setVisible(on);
    m_compareSynced = false;
    if (on) {
        m_compare->setRange(m_maxLeg, m_primitiveOnly);
        m_compare->setDeviation(negated(m_deviationText, m_deviation));
        // Once the panes have their sizes, the second takes the first's view.
        QTimer::singleShot(0, this, [this] {
            m_compareSynced = true;
            followView(*m_view, m_compare->view());
        });
    }
    showCounts();
    showFaint();
}

void MapWindow::followView(const MapView &leader, MapView &follower) {
    if (m_following || !m_compare->isVisible() ||
        (&leader == &m_compare->view() && !m_compareSynced))
        return;
    m_following = true;
    follower.follow(leader);
    m_following = false;
}

void MapWindow::takeBlock(const std::shared_ptr<const MapBlock> &block) {
    if (m_next && block->generation == m_next->generation()) {
        if (!m_next->add(block))
            return;
        m_store = std::move(m_next);
        m_view->setStore(m_store.get());
    } else if (m_store->add(block)) {
        m_view->storeGrew(block->firstX, block->lastX);
    } else {
        return;
    }
    m_countsLater.start();
    if (m_view->selection() && static_cast<std::uint32_t>(m_view->selection()->x()) <= block->lastX)
        showSelection();
}

void MapWindow::searchEnded(std::uint64_t generation, bool complete) {
    if (m_next && m_next->generation() == generation) {
        m_store = std::move(m_next);
        m_view->setStore(m_store.get());
    }
    m_progress->setValue(complete ? m_progress->maximum() : m_progress->value());
    m_cancel->setEnabled(false);
    showNote();
    showCounts();
    showSelection();
    if (complete)
        chartCount();
}

void MapWindow::showNote() {
    QString text;
    if (!m_problem.isEmpty()) {
        text = m_problem + QStringLiteral(" Die Karte zeigt weiter die letzte gültige Eingabe.");
    } else if (!m_whole) {
        text = QStringLiteral("d = %1 ist keine ganze Zahl: x² + y² − d ist dann für ganze x, y "
                              "nie eine Quadratzahl, die Karte ist leer.")
                   .arg(MapText::deviation(m_deviationText, m_deviation));
    } else if (!m_deviation || *m_deviation > 2 * mpz_class(m_maxLeg) * m_maxLeg) {
        text = QStringLiteral("d ist größer als 2 · N² = %1: x² + y² − d ist für alle Katheten "
                              "bis N negativ, die Karte ist leer.")
                   .arg(MapText::number(2 * mpz_class(m_maxLeg) * m_maxLeg));
    } else if (m_cancelled && m_store && !m_store->complete()) {
        text = m_store->loadedThrough() == 0
                   ? QStringLiteral("Suche abgebrochen, bevor eine Spalte fertig war.")
                   : QStringLiteral("Suche abgebrochen: die Karte zeigt die Spalten x = 1 bis %1.")
                         .arg(m_store->loadedThrough());
    }
    m_note->setStyleSheet(m_problem.isEmpty() ? QString()
                                              : QStringLiteral("color: rgb(170, 0, 0);"));
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

void MapWindow::showCounts() {
    if (!m_store)
        return;
    const MapViewport::Cells cells = m_view->viewport().visibleCells();
    const MapCounts all = m_store->counts();
    const MapCounts shown =
        cells.empty() ? MapCounts{} : m_store->countsIn(cells.x0, cells.x1, cells.y0, cells.y1);
    const MapCounts *both[] = {&all, &shown};
    for (int column = 0; column < 2; ++column) {
        const MapCounts &c = *both[column];
        const std::uint64_t values[] = {c.total(), c.above, c.below, c.diagonal, c.primitive};
        for (int row = 0; row < 5; ++row)
            m_counts[row][column]->setText(QString::number(values[row]));
    }
    if (m_compare->isVisible())
        m_caption->setText(ComparePane::countsLine(MapText::deviation(m_deviationText, m_deviation),
                                                   *m_store, *m_view, m_primitiveOnly));
    m_viewRange->setText(
        cells.empty() ? QStringLiteral("Im Ausschnitt liegt keine Zelle von 1..N.")
                      : QStringLiteral("Ausschnitt: x %1 bis %2, y %3 bis %4")
                                .arg(cells.x0)
                                .arg(cells.x1)
                                .arg(cells.y0)
                                .arg(cells.y1) +
                            (m_store->complete() ? QString() : QStringLiteral(" (Suche läuft)")));
}

// The panel, and the text a screen reader reads for the plot, of the selected cell.
void MapWindow::showSelection() {
    const std::optional<QPoint> cell = m_view->selection();
    m_triangle->setLegs(cell);
    QString title;
    QString equation;
    QString details;
    bool solution = false;
    if (!cell) {
        title = QStringLiteral("Keine Zelle gewählt: ein Klick auf die Karte wählt eine, N die "
                               "nächste Lösung.");
    } else {
        const auto x = static_cast<std::uint32_t>(cell->x());
        const auto y = static_cast<std::uint32_t>(cell->y());
        const bool shown = m_store && m_store->solutionAt(x, y).has_value();
        if (!m_deviation) {
            title = QStringLiteral("Zelle (%1, %2): keine Lösung").arg(x).arg(y);
            details = QStringLiteral("d ist keine ganze Zahl oder größer als 2 · N².");
        } else {
            const MapText::Cell reading = MapText::Cell::of(x, y, *m_deviation);
            if (shown) {
                title = QStringLiteral("Lösung %1 von %2%3")
                            .arg(m_store->before(x, y) + 1)
                            .arg(m_store->size())
                            .arg(m_store->complete() ? QString() : QStringLiteral(" (bisher)"));
            } else if (reading.solution) {
                title = m_primitiveOnly && reading.gcd != 1
                            ? QStringLiteral("Lösung, nicht primitiv (ausgeblendet)")
                            : QStringLiteral("Lösung (noch nicht durchsucht)");
            } else {
                title = QStringLiteral("Zelle (%1, %2): keine Lösung").arg(x).arg(y);
            }
            if (reading.solution) {
                solution = true;
                const QString key = QStringLiteral("%1 %2 %3 %4 %5")
                                        .arg(x)
                                        .arg(y)
                                        .arg(QString::fromStdString(m_deviation->get_str()))
                                        .arg(m_maxLeg)
                                        .arg(m_primitiveOnly);
                if (key != m_familiesFor) {
                    m_familiesFor = key;
                    const std::vector<FamilyLayer::Selected> families =
                        familiesOf(x, y, reading.root);
                    m_view->showFamilies(families);
                    m_familyPanel->setFamilies(families, m_primitiveOnly);
                }
                equation = reading.equation();
                details = QStringLiteral("ggT(x, y, z) = %1: ").arg(MapText::number(reading.gcd)) +
                          (reading.gcd == 1
                               ? QStringLiteral("primitiv")
                               : QStringLiteral("nicht primitiv, ") + reading.multipleText());
            } else {
                equation = reading.distanceText();
                details = reading.value < 0 ? QStringLiteral("x² + y² − d ist negativ.")
                                            : QStringLiteral("x² + y² − d liegt zwischen zwei "
                                                             "Quadratzahlen.");
            }
        }
    }
    if (!solution && !m_familiesFor.isEmpty()) {
        m_familiesFor.clear();
        m_view->showFamilies({});
        m_familyPanel->setFamilies({}, m_primitiveOnly);
    }
    m_selectionTitle->setText(title);
    m_selectionEquation->setText(equation);
    m_selectionEquation->setVisible(!equation.isEmpty());
    m_selectionDetails->setText(details);
    m_selectionDetails->setVisible(!details.isEmpty());
    const QString spoken =
        cell ? title + (equation.isEmpty() ? QString() : QStringLiteral(": ") + equation)
             : QStringLiteral("Karte der Lösungen, keine Zelle gewählt");
    if (m_view->accessibleName() != spoken) {
        m_view->setAccessibleName(spoken);
        QAccessibleEvent event(m_view, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

// The families of the solution (x, y, z): its parabola, the mirrored one, and for d = 0 the ray
// of its multiples.
std::vector<FamilyLayer::Selected> MapWindow::familiesOf(std::uint32_t x, std::uint32_t y,
                                                         const mpz_class &z) const {
    std::vector<FamilyLayer::Selected> families;
    const mpz_class &d = *m_deviation;
    std::vector<Family> kinds{Family::parabola(d, z - y), Family::mirrored(d, z - x)};
    if (d == 0)
        kinds.push_back(Family::ray(x, y));
    for (Family &family : kinds) {
        std::vector<Family::Member> members = family.members(m_maxLeg, m_primitiveOnly);
        families.push_back({std::move(family), std::move(members)});
    }
    return families;
}

void MapWindow::showPointer(std::optional<QPoint> cell) {
    if (!cell) {
        m_pointer->clear();
        return;
    }
    const auto x = static_cast<std::uint32_t>(cell->x());
    const auto y = static_cast<std::uint32_t>(cell->y());
    if (m_whole && !m_deviation)
        m_pointer->setText(
            QStringLiteral("Zelle (%1, %2): keine Lösung, x² + y² − d ist negativ").arg(x).arg(y));
    else
        m_pointer->setText(MapText::pointerText(x, y, m_deviation));
}

// A closed map searches no further; opening it again starts a search (setDeviation).
void MapWindow::closeEvent(QCloseEvent *event) {
    m_search.cancel();
    m_player.pause();
    m_compare->stop();
    QMainWindow::closeEvent(event);
}

// A map opened again searches the second deviation to its end, if its search was stopped.
void MapWindow::showEvent(QShowEvent *event) {
    m_compare->resume();
    QMainWindow::showEvent(event);
}

// The view within 1..N: a picture shows no cells beyond the range.
MapArea MapWindow::pictureArea() const {
    MapArea area = m_view->viewport().area();
    const double end = m_maxLeg + 1.0;
    area.left = std::clamp(area.left, 1.0, end);
    area.right = std::clamp(area.right, 1.0, end);
    area.bottom = std::clamp(area.bottom, 1.0, end);
    area.top = std::clamp(area.top, 1.0, end);
    return area;
}
