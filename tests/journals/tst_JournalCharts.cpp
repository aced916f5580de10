// The charts' data from crafted journals: the slots shown and their order, every
// series against the records, the captions in both languages; and the CSV quoting.

#include "JournalsFixture.h"
#include "base/Lang.h"
#include "model/JournalCharts.h"
#include "model/Journals.h"
#include "model/JournalsCsv.h"
#include "model/MK.h"

#include <QtTest>
#include <optional>

using namespace Journals;
using TValues = QList<std::optional<double>>;
Q_DECLARE_METATYPE(TJournal)
Q_DECLARE_METATYPE(TValues)

namespace {

// Slots 20, 3, 2 and 0 in use: one on both fuels, one without distance; slot 1 empty
// but for its gas.
void PutRecords(TMK &mk, TJournal journal) {
    Fixture::EmptyEverything(mk);
    Fixture::PutJournal(mk, journal, 0, {8 * 60 + 40, 5, 1, 1800, 25000, 2000, 0});
    Fixture::PutJournal(mk, journal, 1, {60, 0, 1, 60, 1000, 1000, 5000});
    Fixture::PutJournal(mk, journal, 2, {8 * 60 + 15, 3, 2, 0, 12000, 900, 300});
    Fixture::PutJournal(mk, journal, 3, {23 * 60 + 59, 28, 12, 600, 0, 150, 0});
    Fixture::PutJournal(mk, journal, 20, {0, 1, 11, 3600, 80000, 5600, 4000});
}

} // namespace

class TJournalChartsTest : public QObject {
    Q_OBJECT

private slots:
    void series_data();
    void series();
    void csvField_data();
    void csvField();
};

void TJournalChartsTest::series_data() {
    QTest::addColumn<TJournal>("journal");
    QTest::addColumn<bool>("english");
    QTest::addColumn<TValues>("petrol"); // slots 20, 3, 2, 0
    QTest::addColumn<TValues>("gas");
    QTest::addColumn<QStringList>("texts"); // title, left and right axis, legends
    // Per 100 km: ml·100 / m, none without a distance. Per refuelling: litres.
    const TValues tripPetrol{7.0, std::nullopt, 7.5, 8.0}, tripGas{5.0, std::nullopt, 2.5, 0.0};
    const TValues tankPetrol{5.6, 0.15, 0.9, 2.0}, tankGas{4.0, 0.0, 0.3, 0.0};
    QTest::newRow("trips, ru") << TJournal::Trip << false << tripPetrol << tripGas
                               << QStringList{"Журнал поездок (пустые записи не показаны: 1, 4…19)",
                                              "Ср. расход на 100 км",
                                              "Пробег, км",
                                              "Бензин",
                                              "Газ",
                                              "Пробег, км"};
    QTest::newRow("trips, en") << TJournal::Trip << true << tripPetrol << tripGas
                               << QStringList{"Trip log (empty slots left out: 1, 4…19)",
                                              "Av. expense per 100 km",
                                              "Mileage, km",
                                              "Petrol",
                                              "Gas",
                                              "Mileage, km"};
    QTest::newRow("refuellings, ru") << TJournal::Tank << false << tankPetrol << tankGas
                                     << QStringList{"Журнал заправок (пустые записи не показаны: 1, 4…19)",
                                                    "Расход топлива, л",
                                                    "Пробег, км",
                                                    "Бензин",
                                                    "Газ",
                                                    "Пробег, км"};
    QTest::newRow("refuellings, en") << TJournal::Tank << true << tankPetrol << tankGas
                                     << QStringList{"Petrol log (empty slots left out: 1, 4…19)",
                                                    "Fuel expense, l",
                                                    "Mileage, km",
                                                    "Petrol",
                                                    "Gas",
                                                    "Mileage, km"};
}

void TJournalChartsTest::series() {
    QFETCH(TJournal, journal);
    QFETCH(bool, english);
    QFETCH(TValues, petrol);
    QFETCH(TValues, gas);
    QFETCH(QStringList, texts);
    TMK mk;
    Fixture::LoadSampleImage(mk);
    PutRecords(mk, journal);
    for (int slot = 0; slot < 21; ++slot) // the other journal full, so that a mix-up shows
        Fixture::PutJournal(mk, journal == TJournal::Trip ? TJournal::Tank : TJournal::Trip, slot,
                            {60, 1, 1, 60, 1000, 1000, 1000});
    const TLangScope language(english);
    const JournalCharts::TChart chart = JournalCharts::Build(mk, journal);

    QCOMPARE(chart.slotNumbers, (QList<int>{20, 3, 2, 0})); // oldest left, "Last" right
    QCOMPARE(chart.categories, (QStringList{"20", "3", "2", english ? "Last" : "Посл."}));
    QCOMPARE(chart.leftOut, (QList<int>{1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    QStringList got{chart.title, chart.leftAxisTitle, chart.rightAxisTitle};
    for (const JournalCharts::TSeries &s : chart.series)
        got << s.name;
    QCOMPARE(got, texts);
    const TValues km{80.0, 0.0, 12.0, 25.0};
    const TValues *expected[] = {&petrol, &gas, &km};
    for (int i = 0; i < 3; ++i) {
        const JournalCharts::TSeries &s = chart.series[i];
        QCOMPARE(s.shape, i < 2 ? JournalCharts::TShape::Bars : JournalCharts::TShape::Line);
        QCOMPARE(s.axis, i < 2 ? JournalCharts::TAxis::Left : JournalCharts::TAxis::Right);
        QCOMPARE(s.values.size(), 4);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(s.values[k].has_value(), (*expected[i])[k].has_value());
            if (s.values[k]) QVERIFY(qFuzzyCompare(*s.values[k] + 1, *(*expected[i])[k] + 1));
        }
    }

    // No gas in the shown records (the empty slot's does not count): no gas bars.
    for (int slot : {2, 20})
        Fixture::PutJournal(mk, journal, slot, {60, 1, 1, 60, 1000, 1000, 0});
    QCOMPARE(JournalCharts::Build(mk, journal).series.size(), 2);
    // Every slot in use: nothing to say in the title; none: said so.
    for (int slot = 0; slot < 21; ++slot)
        Fixture::PutJournal(mk, journal, slot, {60, 1, 1, 60, 1000, 1000, 0});
    const QString caption = texts[0].section(QLatin1Char(' '), 0, 1);
    QCOMPARE(JournalCharts::Build(mk, journal).title, caption);
    ClearJournal(mk, journal);
    const JournalCharts::TChart empty = JournalCharts::Build(mk, journal);
    QCOMPARE(empty.title, caption + (english ? " (all slots empty)" : " (все записи пусты)"));
    QVERIFY(empty.categories.isEmpty() && empty.series.last().values.isEmpty());
}

void TJournalChartsTest::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("decimal comma") << "12,5"
                                   << "\"12,5\"";
    QTest::newRow("quote") << "say \"hi\""
                           << "\"say \"\"hi\"\"\"";
    QTest::newRow("line ends") << "a\r\nb\nc"
                               << "\"a\r\nb\nc\"";
}

void TJournalChartsTest::csvField() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CsvText({{text, text}}), field + ',' + field + "\r\n");
}

QTEST_GUILESS_MAIN(TJournalChartsTest)
#include "tst_JournalCharts.moc"
