// The journal viewer offscreen, with scripted prompts: what it shows, what its
// buttons and double clicks do, its export, and the journal procedure around it.

#include "FakePrompts.h"
#include "JournalsFixture.h"
#include "TestEnv.h"
#include "app/MainForm.h"
#include "base/Lang.h"
#include "model/JournalChartView.h"
#include "model/JournalCharts.h"
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
#include <QTabBar>
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

    void chartsShowTheJournals();
    void hoverShowsTheGridRow();
    void saveChart();

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

// The bar sets and the line of a drawn chart, and its axis titles.
struct TDrawn {
    QStringList categories;
    QList<QBarSet *> bars;
    QLineSeries *line = nullptr;
    QString leftTitle, rightTitle;
};

TDrawn Drawn(const TJournalChartView *view) {
    TDrawn d;
    for (QAbstractAxis *axis : view->chart()->axes()) {
        if (auto *c = qobject_cast<QBarCategoryAxis *>(axis)) d.categories = c->categories();
        if (auto *v = qobject_cast<QValueAxis *>(axis))
            (v->alignment() == Qt::AlignLeft ? d.leftTitle : d.rightTitle) = v->titleText();
    }
    for (QAbstractSeries *s : view->chart()->series()) {
        if (auto *b = qobject_cast<QBarSeries *>(s)) d.bars = b->barSets();
        if (auto *l = qobject_cast<QLineSeries *>(s)) d.line = l;
    }
    return d;
}

} // namespace

// What is drawn is the journal's chart, under the grid's own captions, in the
// interface language, and follows a clearing.
void TJournalsViewerTest::chartsShowTheJournals() {
    auto dialog = Show(false);
    QTabBar *tabs = dialog->pcMain->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {},
                      tabs->tabRect(dialog->pcMain->indexOf(dialog->tsCharts)).center());
    QVERIFY(dialog->chTrip->isVisible());
    QTest::mouseClick(dialog->rbTankChart, Qt::LeftButton);
    QVERIFY(dialog->chTank->isVisible() && !dialog->chTrip->isVisible());
    for (const bool english : {false, true}) {
        if (english) {
            Lang::SetEnglish(true); // shown again in the other language
            dialog->FormShow();
        }
        for (const TJournal journal : {TJournal::Trip, TJournal::Tank}) {
            TJournalChartView *view = journal == TJournal::Trip ? dialog->chTrip : dialog->chTank;
            const TJournalGrid *grid = journal == TJournal::Trip ? dialog->sgTrip : dialog->sgTank;
            const JournalCharts::TChart model = JournalCharts::Build(*mk_, journal);
            const TDrawn drawn = Drawn(view);
            QCOMPARE(view->chart()->title(), model.title);
            QCOMPARE(drawn.categories, model.categories);
            QCOMPARE(drawn.leftTitle, grid->Cells(journal == TJournal::Trip ? 6 : 4, 0));
            QCOMPARE(drawn.rightTitle, grid->Cells(3, 0));
            QCOMPARE(drawn.line->name(), grid->Cells(3, 0));
            QCOMPARE(drawn.bars.size(), 2); // the sample has gas in both journals
            for (int b = 0; b < 2; ++b) {
                QCOMPARE(drawn.bars[b]->label(), model.series[b].name);
                for (int i = 0; i < model.categories.size(); ++i)
                    QCOMPARE(drawn.bars[b]->at(i), model.series[b].values[i].value_or(0));
            }
            for (int i = 0; i < model.categories.size(); ++i)
                QCOMPARE(drawn.line->at(i), QPointF(i, *model.series[2].values[i]));
        }
    }
    QCOMPARE(dialog->chTrip->chart()->title(), QStringLiteral("Trip log (empty slots left out: 1, 4…20)"));
    QTest::mouseClick(dialog->bTankReset, Qt::LeftButton);
    QCOMPARE(dialog->chTank->chart()->title(), QStringLiteral("Petrol log (all slots empty)"));
    QVERIFY(Drawn(dialog->chTank).categories.isEmpty());
    QCOMPARE(Drawn(dialog->chTrip).categories.size(), 3);
}

// The mouse over a bar, or over a point of the line, brings up that row of the grid.
void TJournalsViewerTest::hoverShowsTheGridRow() {
    auto dialog = Show(true);
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    QCoreApplication::processEvents();
    TJournalChartView *view = dialog->chTrip;
    const TDrawn drawn = Drawn(view);
    auto *bars = qobject_cast<QBarSeries *>(view->chart()->series().first());
    auto rowText = [&](int slot) {
        QStringList lines;
        for (int c = 0; c < 9; ++c)
            lines << dialog->sgTrip->Cells(c, 0) + ": " + dialog->sgTrip->Cells(c, slot + 1);
        return lines.join('\n');
    };
    auto hover = [&](QPointF value, QAbstractSeries *series) {
        const QPointF scene = view->chart()->mapToScene(view->chart()->mapToPosition(value, series));
        QTest::mouseMove(view->viewport(), view->mapFromScene(scene));
    };
    // Slot 2 (category 1): the middle of its petrol bar, the first of two.
    hover({1 - bars->barWidth() / 4, drawn.bars[0]->at(1) / 2}, bars);
    QTRY_COMPARE(QToolTip::text(), rowText(2));
    // "Last" did not move and took no time: no bar, a point at 0 and "---" per hour.
    hover(drawn.line->at(2), drawn.line);
    QTRY_COMPARE(QToolTip::text(), rowText(0));
    QVERIFY(QToolTip::text().contains(
        "Av. speed, km/h: ---\nAv. expense per 100 km: ---\nAv. expense per hour: ---"));
}

// The chart on the screen is saved, not the other one; a failure is said in the error box.
void TJournalsViewerTest::saveChart() {
    auto dialog = Show(true);
    dialog->pcMain->setCurrentWidget(dialog->tsCharts);
    QTest::mouseClick(dialog->rbTankChart, Qt::LeftButton);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    prompts_->FileNames << path << dir.filePath(QStringLiteral("missing/chart.png"));
    QTest::mouseClick(dialog->bChartSave, Qt::LeftButton);
    QCOMPARE(prompts_->Log.size(), 1); // the dialog only: no question, no error
    QCOMPARE(prompts_->LastDialog.defaultSuffix, QStringLiteral("png"));
    QVERIFY(TestEnv::ReadFile(path).startsWith("\x89PNG\r\n"));
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved, dialog->chTank->Picture().convertToFormat(QImage::Format_RGB32));
    QVERIFY(saved != dialog->chTrip->Picture().convertToFormat(QImage::Format_RGB32));

    QTest::mouseClick(dialog->bChartSave, Qt::LeftButton);
    const QStringList errors = prompts_->Texts(TFakePrompts::ErrorBox);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot write file \"" + dir.filePath("missing/chart.png") + "\": "),
             qPrintable(errors[0]));
    QVERIFY(dialog->isVisible());
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
