// The charts' data from crafted journals: which slots they show and in what order,
// every series' values against the records, the captions in both languages, the
// tooltips against the grid; and the CSV quoting.

#include "JournalsFixture.h"
#include "base/Lang.h"
#include "model/JournalCharts.h"
#include "model/Journals.h"
#include "model/JournalsCsv.h"
#include "model/MK.h"

#include <QtTest>
#include <optional>

using namespace Journals;
using JournalCharts::TAxis;
using JournalCharts::TShape;
using TValues = QList<std::optional<double>>;

Q_DECLARE_METATYPE(TJournal)
Q_DECLARE_METATYPE(TValues)

namespace {

// Four trips in slots 20, 3, 2 and 0: one on both fuels, one that did not move, one
// with no travel time.
void PutRecords(TMK &mk, TJournal journal) {
    Fixture::EmptyEverything(mk);
    Fixture::PutJournal(mk, journal, 0, {8 * 60 + 40, 5, 1, 1800, 25000, 2000, 0});
    Fixture::PutJournal(mk, journal, 2, {8 * 60 + 15, 3, 2, 0, 12000, 900, 300});
    Fixture::PutJournal(mk, journal, 3, {23 * 60 + 59, 28, 12, 600, 0, 150, 0});
    Fixture::PutJournal(mk, journal, 20, {0, 1, 11, 3600, 80000, 5600, 4000});
}

void CompareValues(const TValues &got, const TValues &expected) {
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].has_value(), expected[i].has_value());
        if (got[i]) QVERIFY2(qFuzzyCompare(*got[i] + 1, *expected[i] + 1), qPrintable(QString::number(i)));
    }
}

} // namespace

class TJournalChartsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void series_data();
    void series();
    void captions_data();
    void captions();
    void withoutGas_data();
    void withoutGas();
    void toolTipIsTheGridRow();
    void slotList_data();
    void slotList();
    void csvField_data();
    void csvField();

private:
    TMK mk_;
};

void TJournalChartsTest::init() {
    Fixture::LoadSampleImage(mk_);
}

void TJournalChartsTest::cleanup() {
    Lang::SetEnglish(false);
}

void TJournalChartsTest::series_data() {
    QTest::addColumn<TJournal>("journal");
    QTest::addColumn<TValues>("petrol");
    QTest::addColumn<TValues>("gas");
    // Slots 20, 3, 2, 0. Per 100 km: ml·100 / m; a trip without distance has none.
    QTest::newRow("trips, per 100 km")
        << TJournal::Trip << TValues{7.0, std::nullopt, 7.5, 8.0} << TValues{5.0, std::nullopt, 2.5, 0.0};
    QTest::newRow("refuellings, litres")
        << TJournal::Tank << TValues{5.6, 0.15, 0.9, 2.0} << TValues{4.0, 0.0, 0.3, 0.0};
}

void TJournalChartsTest::series() {
    QFETCH(TJournal, journal);
    QFETCH(TValues, petrol);
    QFETCH(TValues, gas);
    PutRecords(mk_, journal);
    // The other journal full, so that a mix-up shows.
    for (int slot = 0; slot < 21; ++slot)
        Fixture::PutJournal(mk_, journal == TJournal::Trip ? TJournal::Tank : TJournal::Trip, slot,
                            {60, 1, 1, 60, 1000, 1000, 1000});
    const TLangScope english(true);
    const JournalCharts::TChart chart = JournalCharts::Build(mk_, journal);

    QCOMPARE(chart.journal, journal);
    QCOMPARE(chart.slotNumbers, (QList<int>{20, 3, 2, 0})); // oldest left, "Last" right
    QCOMPARE(chart.categories, (QStringList{"20", "3", "2", "Last"}));
    QCOMPARE(chart.leftOut, (QList<int>{1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    QCOMPARE(chart.series.size(), 3);
    QCOMPARE(chart.series[0].shape, TShape::Bars);
    QCOMPARE(chart.series[0].axis, TAxis::Left);
    QCOMPARE(chart.series[1].shape, TShape::Bars);
    QCOMPARE(chart.series[2].shape, TShape::Line);
    QCOMPARE(chart.series[2].axis, TAxis::Right);
    CompareValues(chart.series[0].values, petrol);
    CompareValues(chart.series[1].values, gas);
    CompareValues(chart.series[2].values, (TValues{80.0, 0.0, 12.0, 25.0})); // km
}

void TJournalChartsTest::captions_data() {
    QTest::addColumn<TJournal>("journal");
    QTest::addColumn<bool>("english");
    // title, left axis, right axis, the three legends
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("trips, ru") << TJournal::Trip << false
                               << QStringList{"Журнал поездок (пустые записи не показаны: 1, 4…19)",
                                              "Ср. расход на 100 км",
                                              "Пробег, км",
                                              "Бензин",
                                              "Газ",
                                              "Пробег, км"};
    QTest::newRow("trips, en") << TJournal::Trip << true
                               << QStringList{"Trip log (empty slots left out: 1, 4…19)",
                                              "Av. expense per 100 km",
                                              "Mileage, km",
                                              "Petrol",
                                              "Gas",
                                              "Mileage, km"};
    QTest::newRow("refuellings, ru") << TJournal::Tank << false
                                     << QStringList{"Журнал заправок (пустые записи не показаны: 1, 4…19)",
                                                    "Расход топлива, л",
                                                    "Пробег, км",
                                                    "Бензин",
                                                    "Газ",
                                                    "Пробег, км"};
    QTest::newRow("refuellings, en") << TJournal::Tank << true
                                     << QStringList{"Petrol log (empty slots left out: 1, 4…19)",
                                                    "Fuel expense, l",
                                                    "Mileage, km",
                                                    "Petrol",
                                                    "Gas",
                                                    "Mileage, km"};
}

void TJournalChartsTest::captions() {
    QFETCH(TJournal, journal);
    QFETCH(bool, english);
    QFETCH(QStringList, texts);
    PutRecords(mk_, journal);
    const TLangScope language(english);
    const JournalCharts::TChart chart = JournalCharts::Build(mk_, journal);
    QStringList got{chart.title, chart.leftAxisTitle, chart.rightAxisTitle};
    for (const JournalCharts::TSeries &s : chart.series)
        got << s.name;
    QCOMPARE(got, texts);
    QCOMPARE(chart.headings, JournalHeadings());
    QCOMPARE(chart.categories.last(), english ? QStringLiteral("Last") : QStringLiteral("Посл."));

    // Every slot in use: nothing to say; none: said so.
    for (int slot = 0; slot < 21; ++slot)
        Fixture::PutJournal(mk_, journal, slot, {60, 1, 1, 60, 1000, 1000, 0});
    QCOMPARE(JournalCharts::Build(mk_, journal).title, texts[0].section(QLatin1Char(' '), 0, 1));
    ClearJournal(mk_, journal);
    const JournalCharts::TChart empty = JournalCharts::Build(mk_, journal);
    QCOMPARE(empty.title,
             texts[0].section(QLatin1Char(' '), 0, 1) +
                 (english ? QStringLiteral(" (all slots empty)") : QStringLiteral(" (все записи пусты)")));
    QVERIFY(empty.categories.isEmpty());
    QCOMPARE(empty.leftOut.size(), 21);
    for (const JournalCharts::TSeries &s : empty.series)
        QVERIFY(s.values.isEmpty());
}

// Gas bars only when a shown record used gas; an empty slot's gas does not count.
void TJournalChartsTest::withoutGas_data() {
    QTest::addColumn<TJournal>("journal");
    QTest::newRow("trips") << TJournal::Trip;
    QTest::newRow("refuellings") << TJournal::Tank;
}

void TJournalChartsTest::withoutGas() {
    QFETCH(TJournal, journal);
    Fixture::EmptyEverything(mk_);
    Fixture::PutJournal(mk_, journal, 0, {60, 1, 1, 60, 1000, 1000, 0});
    Fixture::PutJournal(mk_, journal, 1, {60, 0, 1, 60, 1000, 1000, 5000}); // empty: day 0
    const JournalCharts::TChart chart = JournalCharts::Build(mk_, journal);
    QCOMPARE(chart.series.size(), 2);
    QCOMPARE(chart.series[0].shape, TShape::Bars);
    QCOMPARE(chart.series[1].shape, TShape::Line);
    QCOMPARE(chart.slotNumbers, QList<int>{0});
}

// A trip of travel time 0 keeps its bars and its cost; its per-hour values are "---"
// as in the grid.
void TJournalChartsTest::toolTipIsTheGridRow() {
    PutRecords(mk_, TJournal::Trip);
    mk_.Set("PriceExpense", 500);
    mk_.Set("PriceGas", 250);
    mk_.Set("PricePath", 0);
    mk_.Set("PriceTime", 0);
    const TDecimalSeparatorScope comma(QLatin1Char(','));
    const TLangScope english(true);
    const JournalCharts::TChart chart = JournalCharts::Build(mk_, TJournal::Trip);
    QCOMPARE(chart.ToolTip(2), QStringLiteral("#: 2\n"
                                              "Date and time of rec.: 08:15   3.02\n"
                                              "Travel time: 0:00\n"
                                              "Mileage, km: 12,000\n"
                                              "Fuel expense, l: 1,200\n"
                                              "Av. speed, km/h: ---\n"
                                              "Av. expense per 100 km: 10,0\n"
                                              "Av. expense per hour: ---\n"
                                              "Cost: 52,5"));
    const TTextGrid grid = JournalGrid(mk_, TJournal::Trip);
    for (int i = 0; i < chart.categories.size(); ++i)
        QCOMPARE(chart.rows[i], grid[chart.slotNumbers[i] + 1]);
    QCOMPARE(chart.ToolTip(-1), QString());
    QCOMPARE(chart.ToolTip(4), QString());
}

void TJournalChartsTest::slotList_data() {
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<int>{} << "";
    QTest::newRow("last") << QList<int>{0} << "Last";
    QTest::newRow("last stands alone") << QList<int>{3, 2, 1, 0} << "Last, 1…3";
    QTest::newRow("two are no run") << QList<int>{1, 2} << "1, 2";
    QTest::newRow("runs and singles") << QList<int>{20, 5, 6, 7, 9, 19, 18} << "5…7, 9, 18…20";
    QTest::newRow("all") << QList<int>{0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                       11, 12, 13, 14, 15, 16, 17, 18, 19, 20}
                         << "Last, 1…20";
}

void TJournalChartsTest::slotList() {
    QFETCH(QList<int>, numbers);
    QFETCH(QString, text);
    const TLangScope english(true);
    QCOMPARE(JournalCharts::SlotList(numbers), text);
}

void TJournalChartsTest::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Mileage"
                           << "Mileage";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("spaces stay") << "08:15   3.02"
                                 << "08:15   3.02";
    QTest::newRow("decimal comma") << "12,5"
                                   << "\"12,5\"";
    QTest::newRow("quote") << "say \"hi\""
                           << "\"say \"\"hi\"\"\"";
    QTest::newRow("line ends") << "a\r\nb"
                               << "\"a\r\nb\"";
    QTest::newRow("lone LF") << "a\nb"
                             << "\"a\nb\"";
    QTest::newRow("semicolon is plain") << "a;b"
                                        << "a;b";
}

void TJournalChartsTest::csvField() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CsvField(text), field);
    QCOMPARE(CsvText({{text, text}}), field + ',' + field + "\r\n");
}

QTEST_GUILESS_MAIN(TJournalChartsTest)
#include "tst_JournalCharts.moc"
