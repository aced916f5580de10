// The journal viewer offscreen, with scripted prompts: what it shows, what its
// buttons and double clicks do, its export, and the journal procedure around it.

#include "FakePrompts.h"
#include "JournalsFixture.h"
#include "TestEnv.h"
#include "app/MainForm.h"
#include "base/Lang.h"
#include "model/JournalChartView.h"
#include "model/Journals.h"
#include "model/MK.h"
#include "model/MK_ViewJournalsDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Journals;

namespace {

QByteArray SectionBytes(const TMK &mk, int k) {
    const std::span<const uint8_t> s = mk.Section(k);
    return QByteArray(reinterpret_cast<const char *>(s.data()), qsizetype(s.size()));
}

// The image bytes of section k as the header places them.
QByteArray ImageSection(TMK &mk, int k) {
    mk.ReadHeader();
    return mk.Image.Bytes().mid(mk.Header.sections[size_t(k)].address - 32, MKLayout::SectionSize[size_t(k)]);
}

// The cell's text, wrapped at its spaces, fits the cell.
bool Fits(const TJournalGrid *g, int c, int r) {
    const int width = g->columnWidth(c) - 4;
    const QRect text =
        g->fontMetrics().boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, g->Cells(c, r));
    return text.width() <= width && text.height() <= g->rowHeight(r);
}

// Runs `act` on the modal viewer as soon as it is up.
void WhenViewerShown(const std::function<void(TMK_ViewJournalsDlg &)> &act) {
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<TMK_ViewJournalsDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

} // namespace

class TJournalsViewerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void contents_data();
    void contents();
    void emptyJournals_data();
    void emptyJournals();
    void journalCellsRightAligned();
    void nothingCutOff_data();
    void nothingCutOff();

    void saveToFile_data();
    void saveToFile();
    void saveCancelled();
    void saveOverExisting_data();
    void saveOverExisting();
    void saveFailure();

    void clearButtons_data();
    void clearButtons();
    void doubleClickClearsAccumulator_data();
    void doubleClickClearsAccumulator();
    void freezeFrameFollowsSelection();

    void chartsShowTheJournals_data();
    void chartsShowTheJournals();
    void hoverShowsTheGridRow();
    void clearingEmptiesTheChart();
    void saveChart_data();
    void saveChart();
    void saveChartFailure();

    void okStoresSections();
    void escapeAfterClearing();
    void mainWindowRunsTheProcedure_data();
    void mainWindowRunsTheProcedure();

private:
    std::unique_ptr<TMK> mk_;
    std::unique_ptr<TFakePrompts> prompts_;
    std::unique_ptr<TMK_ViewJournalsDlg> Show(bool english, int faultFormat = 0);
};

void TJournalsViewerTest::initTestCase() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TJournalsViewerTest::init() {
    mk_ = std::make_unique<TMK>();
    Fixture::LoadSampleImage(*mk_);
    Fixture::FillSample(*mk_);
    prompts_ = std::make_unique<TFakePrompts>();
}

void TJournalsViewerTest::cleanup() {
    prompts_.reset();
    mk_.reset();
    Lang::SetEnglish(false);
}

std::unique_ptr<TMK_ViewJournalsDlg> TJournalsViewerTest::Show(bool english, int faultFormat) {
    Lang::SetEnglish(english);
    auto dialog = std::make_unique<TMK_ViewJournalsDlg>(*mk_, faultFormat);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("viewer not exposed");
    return dialog;
}

// --- what the viewer shows -------------------------------------------------------------

void TJournalsViewerTest::controls_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("texts"); // caption, pages, save, clear, cancel, hint
    QTest::newRow("ru")
        << false
        << QStringList{"Просмотр журналов",
                       "Журнал поездок",
                       "Журнал заправок",
                       "Средние",
                       "Журнал ошибок",
                       "Сохранить в файл",
                       "Очистить",
                       "Отмена",
                       "Для сброса накопителей сделайте двойной щелчок мыши на соответствующей таблице",
                       "Графики",
                       "Журнал поездок",
                       "Журнал заправок",
                       "Сохранить график в PNG…"};
    QTest::newRow("en") << true
                        << QStringList{"Viewing logs",
                                       "Trip log",
                                       "Petrol log",
                                       "Average",
                                       "Faults log",
                                       "Save to file",
                                       "Clear",
                                       "Cancel",
                                       "To reset the adders, double-click on the "
                                       "corresponding table",
                                       "Charts",
                                       "Trip log",
                                       "Petrol log",
                                       "Save chart as PNG…"};
}

void TJournalsViewerTest::controls() {
    QFETCH(bool, english);
    QFETCH(QStringList, texts);
    auto dialog = Show(english);
    QCOMPARE(dialog->size(), QSize(1016, 523));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    auto *pcMain = dialog->findChild<QTabWidget *>("pcMain");
    QVERIFY(pcMain);
    QCOMPARE(pcMain->count(), 5);
    QCOMPARE(pcMain->currentIndex(), 0);
    const char *pages[] = {"tsTrip", "tsTank", "tsAver", "tsErr", "tsCharts"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(pcMain->widget(i)->objectName(), QString::fromLatin1(pages[i]));
        QCOMPARE(pcMain->tabText(i), texts[i < 4 ? 1 + i : 9]);
    }
    QCOMPARE(dialog->findChild<QRadioButton *>("rbTripChart")->text(), texts[10]);
    QCOMPARE(dialog->findChild<QRadioButton *>("rbTankChart")->text(), texts[11]);
    QCOMPARE(dialog->findChild<QPushButton *>("bChartSave")->text(), texts[12]);
    QCOMPARE(dialog->windowTitle(), texts[0]);
    for (const char *name : {"bTrip", "bTank"})
        QCOMPARE(dialog->findChild<QPushButton *>(name)->text(), texts[5]);
    for (const char *name : {"bTripReset", "bTankReset", "bErrrJReset"})
        QCOMPARE(dialog->findChild<QPushButton *>(name)->text(), texts[6]);
    auto *ok = dialog->findChild<QPushButton *>("OKBtn");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(dialog->findChild<QPushButton *>("CancelBtn")->text(), texts[7]);
    QCOMPARE(dialog->lAverHint->text(), texts[8]);

    struct GridShape {
        const char *name;
        int columns, rows;
    };
    const GridShape grids[] = {{"sgTrip", 9, 22},      {"sgTank", 9, 22},    {"sgAllSum", 2, 6},
                               {"sgTripSum", 2, 6},    {"sgResetSum", 2, 6}, {"sgStopSum", 2, 6},
                               {"sgNoStopSum", 2, 6},  {"sgTankSum", 2, 6},  {"sgOilOnlySum", 2, 6},
                               {"sgGasOnlySum", 2, 6}, {"sgErrors", 3, 8}};
    for (const GridShape &g : grids) {
        auto *grid = dialog->findChild<TJournalGrid *>(g.name);
        QVERIFY2(grid, g.name);
        QCOMPARE(grid->ColCount(), g.columns);
        QCOMPARE(grid->RowCount(), g.rows);
        QCOMPARE(grid->verticalScrollBar()->isVisible(), false);
        QCOMPARE(grid->horizontalScrollBar()->isVisible(), false);
    }
    auto *stop = dialog->findChild<TJournalGrid *>("sgStopCadr");
    QCOMPARE(stop->ColCount(), 2);
    QVERIFY(stop->columnWidth(0) >= 380);
    QVERIFY(stop->columnWidth(1) >= 144);
    QCOMPARE(stop->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(dialog->SaveDialog1.defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(dialog->SaveDialog1.directory, QCoreApplication::applicationDirPath());
}

void TJournalsViewerTest::contents_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("faultFormat");
    QTest::newRow("ru, format 0") << false << 0;
    QTest::newRow("en, format 5") << true << 5;
    QTest::newRow("en, format 2") << true << 2;
}

void TJournalsViewerTest::contents() {
    QFETCH(bool, english);
    QFETCH(int, faultFormat);
    auto dialog = Show(english, faultFormat);
    QCOMPARE(dialog->FaultFormat(), faultFormat);
    QCOMPARE(dialog->sgTrip->Texts(), JournalGrid(*mk_, TJournal::Trip));
    QCOMPARE(dialog->sgTank->Texts(), JournalGrid(*mk_, TJournal::Tank));
    QCOMPARE(dialog->sgErrors->Texts(), ErrorListGrid(*mk_, faultFormat));
    for (int i = 0; i < AccumulatorCount; ++i) {
        QCOMPARE(dialog->AverGrids[size_t(i)]->Texts(), AveragesGrid(*mk_, TAccumulator(i)));
        QCOMPARE(dialog->AverCaptions[size_t(i)]->text(), AccumulatorCaption(TAccumulator(i)));
    }
    // The freeze frame of error row 1 is up from the start.
    QCOMPARE(dialog->sgErrors->currentRow(), 1);
    QCOMPARE(dialog->sgStopCadr->Texts(), FreezeFrame(*mk_, 0));
}

void TJournalsViewerTest::emptyJournals_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("empty");
    QTest::newRow("ru") << false << "Посл."
                        << "Пусто";
    QTest::newRow("en") << true << "Last"
                        << "Empty";
}

void TJournalsViewerTest::emptyJournals() {
    QFETCH(bool, english);
    QFETCH(QString, last);
    QFETCH(QString, empty);
    Fixture::EmptyEverything(*mk_);
    auto dialog = Show(english);
    for (TJournalGrid *grid : {dialog->sgTrip, dialog->sgTank}) {
        for (int row = 1; row < 22; ++row) {
            QCOMPARE(grid->Cells(0, row), row == 1 ? last : QString::number(row - 1));
            QCOMPARE(grid->Cells(1, row), empty);
            for (int c = 2; c < 9; ++c)
                QCOMPARE(grid->Cells(c, row), QString());
        }
    }
    QCOMPARE(dialog->sgStopCadr->Texts(), TTextGrid(41, QStringList(2)));
}

void TJournalsViewerTest::journalCellsRightAligned() {
    auto dialog = Show(false);
    for (TJournalGrid *grid : {dialog->sgTrip, dialog->sgTank}) {
        for (int r = 0; r < grid->RowCount(); ++r) {
            for (int c = 0; c < grid->ColCount(); ++c) {
                const int align = grid->item(r, c)->textAlignment() & Qt::AlignHorizontal_Mask;
                const bool heading = r == 0 || c == 0;
                QCOMPARE(align, int(heading ? Qt::AlignLeft : Qt::AlignRight));
                QCOMPARE(bool(grid->item(r, c)->flags() & Qt::ItemIsSelectable), !heading);
            }
        }
    }
}

void TJournalsViewerTest::nothingCutOff_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("ru") << false;
    QTest::newRow("en") << true;
}

void TJournalsViewerTest::nothingCutOff() {
    QFETCH(bool, english);
    // Every record of both journals in use with the widest values, and every freeze frame line.
    for (int slot = 0; slot < 21; ++slot)
        for (TJournal j : {TJournal::Trip, TJournal::Tank})
            Fixture::PutJournal(*mk_, j, slot,
                                {1439, 28, 12, 4294967295u, 4294967295u, 4294967295u, 4294967295u});
    mk_->Set("PricePath", -32768);
    auto dialog = Show(english, 5);

    QList<TJournalGrid *> grids{dialog->sgTrip, dialog->sgTank, dialog->sgErrors, dialog->sgStopCadr};
    for (TJournalGrid *g : dialog->AverGrids)
        grids << g;
    for (int page = 0; page < dialog->pcMain->count(); ++page) {
        dialog->pcMain->setCurrentIndex(page);
        QCoreApplication::processEvents();
        QWidget *ts = dialog->pcMain->currentWidget();
        QList<QWidget *> placed;
        for (QWidget *w : ts->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!w->isVisibleTo(ts)) continue;
            // Inside its page, and on no other control.
            QVERIFY2(ts->rect().contains(w->geometry()), qPrintable(w->objectName()));
            for (QWidget *other : placed)
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(w->objectName() + " / " + other->objectName()));
            placed << w;
        }
        for (auto *b : ts->findChildren<QAbstractButton *>())
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
        for (auto *l : ts->findChildren<QLabel *>())
            QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->text()));
    }
    // Qt Charts cuts a text that does not fit short with "...": none is, in either chart.
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    for (QRadioButton *choice : {dialog->rbTankChart, dialog->rbTripChart}) {
        QTest::mouseClick(choice, Qt::LeftButton);
        QCoreApplication::processEvents();
        auto *view = qobject_cast<TJournalChartView *>(dialog->pcCharts->currentWidget());
        int texts = 0;
        for (QGraphicsItem *item : view->scene()->items()) {
            const auto *text = dynamic_cast<const QGraphicsTextItem *>(item);
            if (!text || !text->isVisible()) continue;
            ++texts;
            QVERIFY2(!text->toPlainText().endsWith(QStringLiteral("...")), qPrintable(text->toPlainText()));
        }
        QVERIFY(texts > 21); // the labels, titles and legends were looked at
    }
    // Every row of the error list, so that every freeze frame has been shown.
    for (int row = 1; row <= 7; ++row) {
        dialog->sgErrors->setCurrentCell(row, 1);
        TJournalGrid *g = dialog->sgStopCadr;
        for (int r = 0; r < g->RowCount(); ++r)
            for (int c = 0; c < 2; ++c)
                QVERIFY2(Fits(g, c, r), qPrintable(g->Cells(c, r)));
    }
    for (TJournalGrid *g : grids) {
        int width = 0;
        for (int c = 0; c < g->ColCount(); ++c)
            width += g->columnWidth(c);
        QVERIFY2(width <= g->viewport()->width(), qPrintable(g->objectName()));
        for (int r = 0; r < g->RowCount(); ++r)
            for (int c = 0; c < g->ColCount(); ++c)
                QVERIFY2(Fits(g, c, r), qPrintable(g->objectName() + ": " + g->Cells(c, r)));
        if (g != dialog->sgStopCadr) {
            int height = 0;
            for (int r = 0; r < g->RowCount(); ++r)
                height += g->rowHeight(r);
            QVERIFY2(height <= g->viewport()->height(), qPrintable(g->objectName()));
        }
    }
}

// --- export --------------------------------------------------------------------------------

void TJournalsViewerTest::saveToFile_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("tank");
    QTest::newRow("ru, trip") << false << false;
    QTest::newRow("ru, refuelling") << false << true;
    QTest::newRow("en, trip") << true << false;
    QTest::newRow("en, refuelling") << true << true;
}

void TJournalsViewerTest::saveToFile() {
    QFETCH(bool, english);
    QFETCH(bool, tank);
    auto dialog = Show(english);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    prompts_->FileNames << path;
    QTest::mouseClick(tank ? dialog->bTank : dialog->bTrip, Qt::LeftButton);

    QCOMPARE(prompts_->Count(TFakePrompts::SaveDialog), 1);
    QCOMPARE(prompts_->LastDialog.defaultSuffix, QStringLiteral("txt"));
    const QByteArray bytes = TestEnv::ReadFile(path);
    QCOMPARE(bytes, GridFileBytes(JournalGrid(*mk_, tank ? TJournal::Tank : TJournal::Trip)));
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 23); // 22 lines and nothing after the last end
    QVERIFY(lines.last().isEmpty());
    for (int r = 0; r < 22; ++r) {
        QVERIFY(lines[r].endsWith("\t\r"));
        QCOMPARE(lines[r].count('\t'), 9);
    }
    QCOMPARE(prompts_->Log.size(), 1); // the dialog only: no question, no error
}

void TJournalsViewerTest::saveCancelled() {
    auto dialog = Show(false);
    QTemporaryDir dir;
    QTest::mouseClick(dialog->bTrip, Qt::LeftButton); // no scripted file name: cancelled
    QCOMPARE(prompts_->Count(TFakePrompts::SaveDialog), 1);
    QCOMPARE(prompts_->Log.size(), 1);
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TJournalsViewerTest::saveOverExisting_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");
    QTest::newRow("ru, yes") << false << true << "Файл уже существует. Переписать?";
    QTest::newRow("en, no") << true << false << "The file already exists. Rewrite it?";
}

void TJournalsViewerTest::saveOverExisting() {
    QFETCH(bool, english);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    auto dialog = Show(english);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    const QByteArray old(3000, 'z');
    TestEnv::WriteFile(path, old);
    prompts_->FileNames << path;
    prompts_->ConfirmAnswers << answer;
    QTest::mouseClick(dialog->bTank, Qt::LeftButton);
    QCOMPARE(prompts_->Texts(TFakePrompts::ConfirmBox), QStringList{question});
    QCOMPARE(TestEnv::ReadFile(path), answer ? GridFileBytes(dialog->sgTank->Texts()) : old);
}

void TJournalsViewerTest::saveFailure() {
    auto dialog = Show(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/journal.txt"));
    prompts_->FileNames << path;
    QTest::mouseClick(dialog->bTrip, Qt::LeftButton);
    const QStringList errors = prompts_->Texts(TFakePrompts::ApplicationErrorBox);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(QStringLiteral("Cannot write file \"%1\": ").arg(path)),
             qPrintable(errors[0]));
    QVERIFY(dialog->isVisible()); // the viewer stays open
}

// --- charts --------------------------------------------------------------------------------

namespace {

struct TDrawn {
    QStringList categories;
    QList<QBarSet *> bars;
    QLineSeries *line = nullptr;
    QString leftTitle, rightTitle;
};

TDrawn Drawn(const TJournalChartView *view) {
    TDrawn d;
    QChart *chart = view->chart();
    for (QAbstractAxis *axis : chart->axes()) {
        if (auto *c = qobject_cast<QBarCategoryAxis *>(axis)) d.categories = c->categories();
        if (auto *v = qobject_cast<QValueAxis *>(axis))
            (v->alignment() == Qt::AlignLeft ? d.leftTitle : d.rightTitle) = v->titleText();
    }
    for (QAbstractSeries *s : chart->series()) {
        if (auto *b = qobject_cast<QBarSeries *>(s)) d.bars = b->barSets();
        if (auto *l = qobject_cast<QLineSeries *>(s)) d.line = l;
    }
    return d;
}

// The grid row of a slot under the grid's headings, as the chart's tooltip must show it.
QString GridRowText(const TJournalGrid *grid, int slot) {
    QStringList lines;
    for (int c = 0; c < grid->ColCount(); ++c)
        lines << grid->Cells(c, 0) + QStringLiteral(": ") + grid->Cells(c, slot + 1);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TJournalsViewerTest::chartsShowTheJournals_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("titles"); // trip chart, tank chart
    QTest::newRow("ru") << false
                        << QStringList{"Журнал поездок (пустые записи не показаны: 1, 4…20)",
                                       "Журнал заправок (пустые записи не показаны: Посл., 2…19)"};
    QTest::newRow("en") << true
                        << QStringList{"Trip log (empty slots left out: 1, 4…20)",
                                       "Petrol log (empty slots left out: Last, 2…19)"};
}

// The sample has trips in slots 0, 2 and 3 (one without distance, one of travel time
// 0), refuellings in slots 1 and 20, gas in some of each.
void TJournalsViewerTest::chartsShowTheJournals() {
    QFETCH(bool, english);
    QFETCH(QStringList, titles);
    auto dialog = Show(english);
    QTest::mouseClick(dialog->pcMain->tabBar(), Qt::LeftButton, {},
                      dialog->pcMain->tabBar()->tabRect(dialog->pcMain->indexOf(dialog->tsCharts)).center());
    QCOMPARE(dialog->pcMain->currentWidget(), dialog->tsCharts);
    QVERIFY(dialog->chTrip->isVisible());
    QVERIFY(!dialog->chTank->isVisible());

    TDrawn trip = Drawn(dialog->chTrip);
    QCOMPARE(dialog->chTrip->chart()->title(), titles[0]);
    QCOMPARE(trip.categories, (QStringList{"3", "2", english ? "Last" : "Посл."}));
    QCOMPARE(trip.leftTitle, dialog->sgTrip->Cells(6, 0)); // the grid's own captions
    QCOMPARE(trip.rightTitle, dialog->sgTrip->Cells(3, 0));
    QCOMPARE(trip.bars.size(), 2); // petrol and gas: slot 2 used gas
    QCOMPARE(trip.bars[0]->label(), english ? QStringLiteral("Petrol") : QStringLiteral("Бензин"));
    QCOMPARE(trip.bars[1]->label(), english ? QStringLiteral("Gas") : QStringLiteral("Газ"));
    QCOMPARE(trip.line->name(), dialog->sgTrip->Cells(3, 0));
    // Slot 3: 7 l over 90 km; slot 2: 345678.901 l and 2345.678 l over 3123456.789 km;
    // slot 0 did not move: no bar, distance 0.
    const double petrol[] = {7000.0 * 100 / 90000, 345678901.0 * 100 / 3123456789.0, 0};
    const double gas[] = {0, 2345678.0 * 100 / 3123456789.0, 0};
    const double km[] = {90.0, 3123456.789, 0};
    QCOMPARE(trip.bars[0]->count(), 3);
    QCOMPARE(trip.line->count(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(trip.bars[0]->at(i), petrol[i]);
        QCOMPARE(trip.bars[1]->at(i), gas[i]);
        QCOMPARE(trip.line->at(i), QPointF(i, km[i]));
    }

    QTest::mouseClick(dialog->rbTankChart, Qt::LeftButton);
    QVERIFY(dialog->chTank->isVisible());
    QVERIFY(!dialog->chTrip->isVisible());
    const TDrawn tank = Drawn(dialog->chTank);
    QCOMPARE(dialog->chTank->chart()->title(), titles[1]);
    QCOMPARE(tank.categories, (QStringList{"20", "1"}));
    QCOMPARE(tank.leftTitle, dialog->sgTank->Cells(4, 0));
    QCOMPARE(tank.rightTitle, dialog->sgTank->Cells(3, 0));
    QCOMPARE(tank.bars.size(), 2);
    QCOMPARE(tank.bars[0]->at(0), 0.001); // litres
    QCOMPARE(tank.bars[0]->at(1), 11.0);
    QCOMPARE(tank.bars[1]->at(1), 2.0);
    QCOMPARE(tank.line->at(0), QPointF(0, 0.001));
    QCOMPARE(tank.line->at(1), QPointF(1, 150.0));

    // Shown again in the other language, the charts speak it.
    Lang::SetEnglish(!english);
    dialog->FormShow();
    QCOMPARE(Drawn(dialog->chTrip).leftTitle, dialog->sgTrip->Cells(6, 0));
    QVERIFY(Drawn(dialog->chTrip).leftTitle != trip.leftTitle);
    QCOMPARE(Drawn(dialog->chTank).bars[0]->label(),
             english ? QStringLiteral("Бензин") : QStringLiteral("Petrol"));
}

// The mouse over a bar brings up the row of the trip grid as it stands there.
void TJournalsViewerTest::hoverShowsTheGridRow() {
    auto dialog = Show(true);
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    QCoreApplication::processEvents();
    TJournalChartView *view = dialog->chTrip;
    const TDrawn drawn = Drawn(view);
    auto *series = qobject_cast<QBarSeries *>(view->chart()->series().first());
    QVERIFY(series);
    // Slot 2, its petrol bar: the first of two in the category's bar width.
    const int category = 1;
    const double x = category - series->barWidth() / 2 + series->barWidth() / 4;
    const QPointF scene = view->chart()->mapToScene(
        view->chart()->mapToPosition(QPointF(x, drawn.bars[0]->at(category) / 2), series));
    QTest::mouseMove(view->viewport(), view->mapFromScene(scene));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), GridRowText(dialog->sgTrip, 2));

    // "Last" did not move and took no time: no bar, and its distance point tells the
    // row with "---" for the per-hour values.
    const QPointF last =
        view->chart()->mapToScene(view->chart()->mapToPosition(drawn.line->at(2), drawn.line));
    QTest::mouseMove(view->viewport(), view->mapFromScene(last));
    QTRY_COMPARE(QToolTip::text(), GridRowText(dialog->sgTrip, 0));
    QVERIFY(QToolTip::text().contains(
        "Av. speed, km/h: ---\nAv. expense per 100 km: ---\nAv. expense per hour: ---"));
}

void TJournalsViewerTest::clearingEmptiesTheChart() {
    auto dialog = Show(false);
    QTest::mouseClick(dialog->bTankReset, Qt::LeftButton);
    const TDrawn tank = Drawn(dialog->chTank);
    QVERIFY(tank.categories.isEmpty());
    QCOMPARE(tank.bars.size(), 1);
    QCOMPARE(tank.bars[0]->count(), 0);
    QCOMPARE(dialog->chTank->chart()->title(), QStringLiteral("Журнал заправок (все записи пусты)"));
    QCOMPARE(Drawn(dialog->chTrip).categories.size(), 3); // the other journal's chart stays
}

void TJournalsViewerTest::saveChart_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("tank");
    QTest::newRow("ru, trips") << false << false;
    QTest::newRow("en, refuellings") << true << true;
}

void TJournalsViewerTest::saveChart() {
    QFETCH(bool, english);
    QFETCH(bool, tank);
    auto dialog = Show(english);
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    if (tank) QTest::mouseClick(dialog->rbTankChart, Qt::LeftButton);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    prompts_->FileNames << path;
    QTest::mouseClick(dialog->bChartSave, Qt::LeftButton);

    QCOMPARE(prompts_->Log.size(), 1); // the dialog only: no question, no error
    QCOMPARE(prompts_->LastDialog.defaultSuffix, QStringLiteral("png"));
    QCOMPARE(prompts_->LastDialog.filter, QStringLiteral("PNG (*.png)"));
    QVERIFY(TestEnv::ReadFile(path).startsWith("\x89PNG\r\n"));
    const QImage saved(path);
    // The chart on the screen, not the other one.
    TJournalChartView *shown = tank ? dialog->chTank : dialog->chTrip;
    const QImage expected = shown->Picture();
    QCOMPARE(saved.size(), expected.size());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    QVERIFY(saved.convertToFormat(QImage::Format_RGB32) !=
            (tank ? dialog->chTrip : dialog->chTank)->Picture().convertToFormat(QImage::Format_RGB32));
}

void TJournalsViewerTest::saveChartFailure() {
    auto dialog = Show(true);
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/chart.png"));
    prompts_->FileNames << path;
    QTest::mouseClick(dialog->bChartSave, Qt::LeftButton);
    const QStringList errors = prompts_->Texts(TFakePrompts::ErrorBox);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(QStringLiteral("Cannot write file \"%1\": ").arg(path)),
             qPrintable(errors[0]));
    QVERIFY(dialog->isVisible());

    // Over an existing file only when the user says so.
    const QString existing = dir.filePath(QStringLiteral("old.png"));
    TestEnv::WriteFile(existing, "old");
    prompts_->FileNames << existing;
    prompts_->ConfirmAnswers << false;
    QTest::mouseClick(dialog->bChartSave, Qt::LeftButton);
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), 1);
    QCOMPARE(TestEnv::ReadFile(existing), QByteArray("old"));
}

// --- clearing ------------------------------------------------------------------------------

void TJournalsViewerTest::clearButtons_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("button");
    for (bool english : {false, true}) {
        const char *lang = english ? "en" : "ru";
        for (const char *b : {"bTripReset", "bTankReset", "bErrrJReset"})
            QTest::addRow("%s, %s", lang, b) << english << QString::fromLatin1(b);
    }
}

void TJournalsViewerTest::clearButtons() {
    QFETCH(bool, english);
    QFETCH(QString, button);
    auto dialog = Show(english, 0);
    TMK reference; // what the working fields must become
    Fixture::LoadSampleImage(reference);
    Fixture::FillSample(reference);
    if (button == "bTripReset") Journals::ClearJournal(reference, TJournal::Trip);
    if (button == "bTankReset") Journals::ClearJournal(reference, TJournal::Tank);
    if (button == "bErrrJReset") Journals::ClearErrorJournal(reference);

    QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(prompts_->Log.isEmpty()); // no confirmation
    QCOMPARE(SectionBytes(*mk_, 7), SectionBytes(reference, 7));
    QCOMPARE(SectionBytes(*mk_, 11), SectionBytes(reference, 11));
    QCOMPARE(SectionBytes(*mk_, 1), SectionBytes(reference, 1));
    QCOMPARE(dialog->sgTrip->Texts(), JournalGrid(reference, TJournal::Trip));
    QCOMPARE(dialog->sgTank->Texts(), JournalGrid(reference, TJournal::Tank));
    QCOMPARE(dialog->sgErrors->Texts(), ErrorListGrid(reference, 0));
    QCOMPARE(dialog->sgStopCadr->Cells(0, 0).isEmpty(), button == "bErrrJReset");
}

void TJournalsViewerTest::doubleClickClearsAccumulator_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("which");
    for (bool english : {false, true})
        for (int i = 0; i < AccumulatorCount; ++i)
            QTest::addRow("%s, %d", english ? "en" : "ru", i) << english << i;
}

void TJournalsViewerTest::doubleClickClearsAccumulator() {
    QFETCH(bool, english);
    QFETCH(int, which);
    const TDecimalSeparatorScope sep(QLatin1Char(english ? '.' : ','));
    for (int i = 0; i < AccumulatorCount; ++i) // every accumulator in use
        for (int k = 0; k < 3; ++k)
            mk_->Set(std::array{"TotalsGeneral", "TotalsTrip", "TotalsReset1", "TotalsJam", "TotalsNoJam",
                                "TotalsReset2", "TotalsPetrolOnly", "TotalsGasOnly"}[size_t(i)],
                     1000 + k, k);
    auto dialog = Show(english);
    dialog->pcMain->setCurrentWidget(dialog->tsAver);
    QByteArray expected = SectionBytes(*mk_, 1);
    const int offset = which * 16 - (which == 7 ? 4 : 0);
    expected.replace(offset, which >= 6 ? 12 : 16, QByteArray(which >= 6 ? 12 : 16, '\0'));

    TJournalGrid *grid = dialog->AverGrids[size_t(which)];
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 1)).center());
    QVERIFY(prompts_->Log.isEmpty());
    QCOMPARE(SectionBytes(*mk_, 1), expected);
    for (int i = 0; i < AccumulatorCount; ++i)
        QCOMPARE(dialog->AverGrids[size_t(i)]->Texts(), AveragesGrid(*mk_, TAccumulator(i)));
    // The general table keeps showing the initial distance.
    if (which == 0)
        QCOMPARE(grid->Cells(1, 1), english ? QStringLiteral("150000.000") : QStringLiteral("150000,000"));
    QCOMPARE(grid->Cells(1, 3), QStringLiteral("-----"));
}

void TJournalsViewerTest::freezeFrameFollowsSelection() {
    const TLangScope lang(true);
    auto dialog = Show(true);
    dialog->pcMain->setCurrentWidget(dialog->tsErr);
    for (int row : {5, 3, 7, 2, 1}) { // record 4 is empty but has a frame; record 6 has none
        QTest::mouseClick(dialog->sgErrors->viewport(), Qt::LeftButton, {},
                          dialog->sgErrors->visualItemRect(dialog->sgErrors->item(row, 2)).center());
        QCOMPARE(dialog->sgErrors->currentRow(), row);
        const TTextGrid lines = FreezeFrame(*mk_, row - 1);
        if (lines.isEmpty()) {
            for (const QStringList &r : dialog->sgStopCadr->Texts())
                QCOMPARE(r, QStringList(2));
        } else {
            QCOMPARE(dialog->sgStopCadr->Texts(), lines);
        }
    }
    QCOMPARE(dialog->sgErrors->Cells(2, 5), QString());
    QCOMPARE(FreezeFrame(*mk_, 4).size(), 42);
    // The heading row is no record: the frame stays.
    const TTextGrid before = dialog->sgStopCadr->Texts();
    dialog->sgErrors->setCurrentCell(0, 1);
    QCOMPARE(dialog->sgStopCadr->Texts(), before);
}

// --- the journal procedure -------------------------------------------------------------------

void TJournalsViewerTest::okStoresSections() {
    Fixture::LoadSampleImage(*mk_);
    const QByteArray image = mk_->Image.Bytes();
    bool ok = mk_->ViewJournals([this] {
        WhenViewerShown([](TMK_ViewJournalsDlg &d) {
            QTest::mouseClick(d.bTripReset, Qt::LeftButton);
            QTest::mouseClick(d.bErrrJReset, Qt::LeftButton);
            d.ClearAccumulator(TAccumulator::Trip);
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
        TMK_ViewJournalsDlg dialog(*mk_, 0);
        return dialog.exec() == QDialog::Accepted;
    });
    QVERIFY(ok);
    for (int k : {7, 1, 11})
        QCOMPARE(ImageSection(*mk_, k), SectionBytes(*mk_, k));
    for (int slot = 0; slot < 21; ++slot)
        QVERIFY(JournalRecord(*mk_, TJournal::Trip, slot).Empty());
    // Nothing else of the image changed.
    for (int k : {2, 3, 4, 5, 6, 8, 9, 10}) {
        mk_->ReadHeader();
        const int at = mk_->Header.sections[size_t(k)].address - 32;
        QCOMPARE(mk_->Image.Bytes().mid(at, MKLayout::SectionSize[size_t(k)]),
                 image.mid(at, MKLayout::SectionSize[size_t(k)]));
    }
}

void TJournalsViewerTest::escapeAfterClearing() {
    Fixture::LoadSampleImage(*mk_);
    Fixture::SetAllPids(*mk_);
    Fixture::PutError(*mk_, 0, 1, 1, 1, 0x0171, 0x0171);
    const QByteArray image = mk_->Image.Bytes();
    const QByteArray section7 = SectionBytes(*mk_, 7);
    bool ok = mk_->ViewJournals([this] {
        WhenViewerShown([](TMK_ViewJournalsDlg &d) {
            QTest::mouseClick(d.bTripReset, Qt::LeftButton);
            QTest::mouseClick(d.bTankReset, Qt::LeftButton);
            QTest::mouseClick(d.bErrrJReset, Qt::LeftButton);
            d.ClearAccumulator(TAccumulator::General);
            d.pcMain->setCurrentWidget(d.tsErr);
            d.sgErrors->setFocus();
            QTest::keyClick(d.sgErrors, Qt::Key_Escape);
        });
        TMK_ViewJournalsDlg dialog(*mk_, 0);
        return dialog.exec() == QDialog::Accepted;
    });
    QVERIFY(!ok);
    QCOMPARE(mk_->Image.Bytes(), image);     // nothing stored
    QCOMPARE(ErrorRecord(*mk_, 0).code, 0u); // the cleared error journal stays in the working fields
    QCOMPARE(QByteArray(mk_->GetBytes("PidSupport")), QByteArray(12, '\0'));

    // The next journal procedure loads sections 7 and 1 from the image again, not 11.
    TTextGrid tripSeen;
    QByteArray errorsSeen;
    mk_->ViewJournals([&] {
        tripSeen = JournalGrid(*mk_, TJournal::Trip);
        errorsSeen = SectionBytes(*mk_, 11);
        return false;
    });
    QCOMPARE(SectionBytes(*mk_, 7), ImageSection(*mk_, 7));
    QCOMPARE(SectionBytes(*mk_, 1), ImageSection(*mk_, 1));
    QCOMPARE(SectionBytes(*mk_, 7), section7);
    QCOMPARE(tripSeen, JournalGrid(*mk_, TJournal::Trip));
    bool anyEntry = false;
    for (int slot = 0; slot < 21; ++slot)
        anyEntry |= !JournalRecord(*mk_, TJournal::Trip, slot).Empty();
    QVERIFY(anyEntry); // the sample image has entries, so the reload is visible
    QCOMPARE(ErrorRecord(*mk_, 0).code, 0u);
}

void TJournalsViewerTest::mainWindowRunsTheProcedure_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TJournalsViewerTest::mainWindowRunsTheProcedure() {
    QFETCH(bool, confirm);
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TMK &mk = *form.MK();
    Fixture::LoadSampleImage(mk);
    form.SetImageButtonsEnabled(true);
    form.SettingsModified = false;
    const QByteArray image = mk.Image.Bytes();

    bool seen = false;
    WhenViewerShown([&](TMK_ViewJournalsDlg &d) {
        seen = true;
        QCOMPARE(d.FaultFormat(), Journals::FaultFormatOf(*form.MK()));
        QTest::mouseClick(d.bTripReset, Qt::LeftButton);
        QTest::mouseClick(confirm ? d.OKBtn : d.CancelBtn, Qt::LeftButton);
    });
    QTest::mouseClick(form.bViewJournals, Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(form.SettingsModified, false);
    if (confirm) {
        QVERIFY(mk.Image.Bytes() != image);
        for (int k : {7, 1, 11})
            QCOMPARE(ImageSection(mk, k), SectionBytes(mk, k));
    } else {
        QCOMPARE(mk.Image.Bytes(), image);
    }
}

QTEST_MAIN(TJournalsViewerTest)
#include "tst_JournalsViewer.moc"
