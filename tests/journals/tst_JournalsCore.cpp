// Decoding of the journals, accumulators and error records, their clearing and the
// text export, in both languages and with both decimal separators.

#include "JournalsFixture.h"
#include "TestEnv.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "model/Journals.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Journals;

namespace {

QString Join(const QStringList &cells) {
    return cells.join(QLatin1Char('|'));
}

QString Rows(const TTextGrid &grid) {
    QStringList rows;
    for (const QStringList &row : grid)
        rows << Join(row);
    return rows.join(QLatin1Char('\n'));
}

} // namespace

class TJournalsCoreTest : public QObject {
    Q_OBJECT

private slots:
    void fixed_data();
    void fixed();
    void systemSeparatorIsTheDefault();

    void journalRow_data();
    void journalRow();
    void emptyJournal_data();
    void emptyJournal();
    void defaultSampleRecords();
    void clearJournalTouchesOnlyDayBytes();

    void averages_data();
    void averages();
    void accumulatorCaptions_data();
    void accumulatorCaptions();
    void clearAccumulator_data();
    void clearAccumulator();

    void troubleCode_data();
    void troubleCode();
    void errorList_data();
    void errorList();
    void pidBitmap_data();
    void pidBitmap();
    void statusTexts_data();
    void statusTexts();
    void freezeFrameAllPids_data();
    void freezeFrameAllPids();
    void freezeFrameSelection_data();
    void freezeFrameSelection();
    void clearErrorJournal();

    void exportText_data();
    void exportText();
    void saveGrid();
    void saveGridFailure();
    void reports_data();
    void reports();
    void faultFormatOfTheImage_data();
    void faultFormatOfTheImage();
    void fileReport_data();
    void fileReport();
    void reportNames();
};

// --- numbers -----------------------------------------------------------------------

void TJournalsCoreTest::fixed_data() {
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("dot");
    QTest::addColumn<QString>("comma");
    QTest::newRow("metres as km") << qint64(10123) << qint64(1000) << 3 << "10.123"
                                  << "10,123";
    QTest::newRow("leading zeros of the fraction") << qint64(5) << qint64(1000) << 3 << "0.005"
                                                   << "0,005";
    QTest::newRow("no decimals") << qint64(7) << qint64(2) << 0 << "4"
                                 << "4";
    QTest::newRow("half rounds away from zero") << qint64(25) << qint64(100) << 1 << "0.3"
                                                << "0,3";
    QTest::newRow("negative half") << qint64(-25) << qint64(100) << 1 << "-0.3"
                                   << "-0,3";
    QTest::newRow("negative tenths") << qint64(-5) << qint64(10) << 1 << "-0.5"
                                     << "-0,5";
    QTest::newRow("no negative zero") << qint64(-4) << qint64(100) << 1 << "0.0"
                                      << "0,0";
    QTest::newRow("carry into the whole part") << qint64(999) << qint64(1000) << 2 << "1.00"
                                               << "1,00";
    QTest::newRow("negative denominator") << qint64(3) << qint64(-2) << 1 << "-1.5"
                                          << "-1,5";
    QTest::newRow("largest distance") << qint64(4294967295) << qint64(1000) << 3 << "4294967.295"
                                      << "4294967,295";
}

void TJournalsCoreTest::fixed() {
    QFETCH(qint64, num);
    QFETCH(qint64, den);
    QFETCH(int, decimals);
    QFETCH(QString, dot);
    QFETCH(QString, comma);
    {
        TDecimalSeparatorScope sep(QLatin1Char('.'));
        QCOMPARE(Fixed(num, den, decimals), dot);
    }
    {
        TDecimalSeparatorScope sep(QLatin1Char(','));
        QCOMPARE(Fixed(num, den, decimals), comma);
    }
}

void TJournalsCoreTest::systemSeparatorIsTheDefault() {
    const QString system = QLocale::system().decimalPoint();
    QCOMPARE(QString(DecimalSeparator()), system.left(1));
    {
        TDecimalSeparatorScope sep(QLatin1Char(system == QLatin1String(",") ? '.' : ','));
        QVERIFY(QString(DecimalSeparator()) != system);
    }
    QCOMPARE(QString(DecimalSeparator()), system.left(1));
}

// --- trip and refuelling journals --------------------------------------------------

void TJournalsCoreTest::journalRow_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<uint>("seconds");
    QTest::addColumn<uint>("distance");
    QTest::addColumn<uint>("petrol");
    QTest::addColumn<uint>("gas");
    QTest::addColumn<QList<int>>("prices"); // expense, time, path, gas
    QTest::addColumn<QString>("expected");

    const QList<int> standard{250, 0, 30, 0};
    for (const bool english : {false, true}) {
        const char *lang = english ? "en" : "ru";
        const QString last = english ? QStringLiteral("Last") : QStringLiteral("Посл.");
        const QString empty = english ? QStringLiteral("Empty") : QStringLiteral("Пусто");
        QTest::addRow("%s: travel time 0 keeps the cost", lang)
            << english << QChar('.') << 3 << 600 << 1 << 2 << 0u << 10000u << 1000u << 0u << standard
            << "3|10:00   1.02|0:00|10.000|1.000|---|10.0|---|55.0";
        QTest::addRow("%s: 23:59 on 5 January", lang)
            << english << QChar('.') << 0 << 1439 << 5 << 1 << 60u << 1000u << 0u << 0u << standard
            << last + "|23:59   5.01|0:01|1.000|0.000|60|0.0|0.00|3.0";
        QTest::addRow("%s: hours wrap at 24", lang)
            << english << QChar('.') << 20 << 1500 << 31 << 12 << 59u << 0u << 10u << 5u << standard
            << "20|01:00   31.12|0:00|0.000|0.015|0|---|0.92|0.3";
        QTest::addRow("%s: comma separator", lang)
            << english << QChar(',') << 1 << 497 << 15 << 11 << 123456u << 10123u << 1234u << 12u << standard
            << "1|08:17   15.11|34:17|10,123|1,246|0|12,3|0,04|61,2";
        QTest::addRow("%s: speed half rounds down to even", lang)
            << english << QChar('.') << 4 << 0 << 9 << 9 << 3600u << 2500u << 0u << 0u << standard
            << "4|00:00   9.09|1:00|2.500|0.000|2|0.0|0.00|7.5";
        QTest::addRow("%s: speed half rounds up to even", lang)
            << english << QChar('.') << 4 << 0 << 9 << 9 << 3600u << 3500u << 0u << 0u << standard
            << "4|00:00   9.09|1:00|3.500|0.000|4|0.0|0.00|10.5";
        QTest::addRow("%s: all four prices", lang)
            << english << QChar('.') << 5 << 0 << 1 << 1 << 7200u << 100000u << 5000u << 3000u
            << QList<int>{300, 50, 20, 150} << "5|00:00   1.01|2:00|100.000|8.000|50|8.0|4.00|495.0";
        QTest::addRow("%s: negative price", lang)
            << english << QChar('.') << 6 << 0 << 1 << 1 << 0u << 1000u << 0u << 0u
            << QList<int>{0, 0, -15, 0} << "6|00:00   1.01|0:00|1.000|0.000|---|0.0|---|-1.5";
        QTest::addRow("%s: long trip", lang)
            << english << QChar('.') << 2 << 600 << 28 << 12 << 4321987u << 3123456789u << 345678901u
            << 2345678u << standard
            << "2|10:00   28.12|1200:33|3123456.789|348024.579|2602|11.1|289.89|18012342.9";
        QTest::addRow("%s: empty slot", lang) << english << QChar('.') << 7 << 600 << 0 << 2 << 100u << 100u
                                              << 100u << 100u << standard << "7|" + empty + "|||||||";
    }
}

void TJournalsCoreTest::journalRow() {
    QFETCH(bool, english);
    QFETCH(QChar, separator);
    QFETCH(int, slot);
    QFETCH(int, minutes);
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(uint, seconds);
    QFETCH(uint, distance);
    QFETCH(uint, petrol);
    QFETCH(uint, gas);
    QFETCH(QList<int>, prices);
    QFETCH(QString, expected);
    const TLangScope lang(english);
    const TDecimalSeparatorScope sep(separator);

    TMK mk;
    mk.Set("PriceExpense", prices[0]);
    mk.Set("PriceTime", prices[1]);
    mk.Set("PricePath", prices[2]);
    mk.Set("PriceGas", prices[3]);
    const TJournalRecord record{
        uint16_t(minutes), uint8_t(day), uint8_t(month), seconds, distance, petrol, gas};
    // The same record through the working fields of both journals.
    for (const TJournal journal : {TJournal::Trip, TJournal::Tank}) {
        Fixture::PutJournal(mk, journal, slot, record);
        const TTextGrid grid = JournalGrid(mk, journal);
        QCOMPARE(Join(grid[slot + 1]), expected);
    }
}

void TJournalsCoreTest::emptyJournal_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("headings");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("empty");
    QTest::newRow("ru") << false
                        << "#|Дата и время записи|Время в пути|Пробег, км|Расход топлива, л|Ср. скорость, "
                           "км/час|Ср. расход на 100 км|Ср. расход в час|Стоимость"
                        << "Посл."
                        << "Пусто";
    QTest::newRow("en")
        << true
        << "#|Date and time of rec.|Travel time|Mileage, km|Fuel expense, l|Av. speed, km/h|Av. "
           "expense per 100 km|Av. expense per hour|Cost"
        << "Last"
        << "Empty";
}

void TJournalsCoreTest::emptyJournal() {
    QFETCH(bool, english);
    QFETCH(QString, headings);
    QFETCH(QString, last);
    QFETCH(QString, empty);
    const TLangScope lang(english);
    TMK mk;
    Fixture::EmptyEverything(mk);
    for (const TJournal journal : {TJournal::Trip, TJournal::Tank}) {
        const TTextGrid grid = JournalGrid(mk, journal);
        QCOMPARE(grid.size(), JournalRows);
        QCOMPARE(Join(grid[0]), headings);
        for (int slot = 0; slot < 21; ++slot) {
            const QString label = slot == 0 ? last : QString::number(slot);
            QCOMPARE(Join(grid[slot + 1]), label + "|" + empty + "|||||||");
        }
    }
}

void TJournalsCoreTest::defaultSampleRecords() {
    const TLangScope lang(false);
    const TDecimalSeparatorScope sep(QLatin1Char('.'));
    TMK mk; // the constructor's sample entries and prices
    const TTextGrid trip = JournalGrid(mk, TJournal::Trip);
    QCOMPARE(Join(trip[1]), QStringLiteral("Посл.|Пусто|||||||"));
    QCOMPARE(Join(trip[2]), QStringLiteral("1|08:17   15.11|34:17|10.123|1.246|0|12.3|0.04|61.2"));
    const TTextGrid tank = JournalGrid(mk, TJournal::Tank);
    QCOMPARE(Join(tank[1]), QStringLiteral("Посл.|10:22   5.01|34:17|100.456|5.734|3|5.7|0.17|443.3"));
    QCOMPARE(Join(tank[2]), QStringLiteral("1|Пусто|||||||"));
}

void TJournalsCoreTest::clearJournalTouchesOnlyDayBytes() {
    TMK mk;
    Fixture::FillSample(mk);
    for (int slot = 0; slot < 21; ++slot)
        Fixture::PutJournal(mk, TJournal::Tank, slot, {uint16_t(slot), 1, 2, 3, 4, 5, 6});
    const QByteArray trip = mk.GetBytes("TripJournal");
    QByteArray expected = mk.GetBytes("TankJournal");
    for (int slot = 0; slot < 21; ++slot)
        expected[slot * 20 + 2] = 0;

    ClearJournal(mk, TJournal::Tank);
    QCOMPARE(mk.GetBytes("TankJournal"), expected);
    QCOMPARE(mk.GetBytes("TripJournal"), trip);
    for (int slot = 0; slot < 21; ++slot)
        QVERIFY(JournalRecord(mk, TJournal::Tank, slot).Empty());
}

// --- accumulators ------------------------------------------------------------------

void TJournalsCoreTest::averages_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("which");
    QTest::addColumn<QList<uint>>("values");
    QTest::addColumn<int>("startKm");
    QTest::addColumn<QString>("expected");
    const auto General = int(TAccumulator::General);
    const auto Trip = int(TAccumulator::Trip);
    const auto PetrolOnly = int(TAccumulator::PetrolOnly);
    const auto GasOnly = int(TAccumulator::GasOnly);
    QTest::newRow("ru: general adds the initial distance")
        << false << QChar('.') << General << QList<uint>{123456789, 3000000000u, 250000000, 12345678}
        << 150000
        << "Время|34293:33\nПробег, км|3150000.000\nРасход, л|262345.678\nСр.скорость, км/час|87.5\n"
           "Ср.расход, л/100|8.7\nСр.расход, л/час|7.7";
    QTest::newRow("en: general adds the initial distance")
        << true << QChar(',') << General << QList<uint>{123456789, 3000000000u, 250000000, 12345678} << 150000
        << "Time|34293:33\nMileage, km|3150000,000\nExpense, l|262345,678\nAv.speed, km/h|87,5\n"
           "Av.exp., l/100|8,7\nAv.exp., l/h|7,7";
    QTest::newRow("en: negative initial distance")
        << true << QChar('.') << General << QList<uint>{0, 500, 0, 0} << -1
        << "Time|0:00\nMileage, km|-0.500\nExpense, l|0.000\nAv.speed, km/h|-----\n"
           "Av.exp., l/100|0.0\nAv.exp., l/h|-----";
    QTest::newRow("ru: all zero")
        << false << QChar('.') << Trip << QList<uint>{0, 0, 0, 0} << 999
        << "Время|0:00\nПробег, км|0.000\nРасход, л|0.000\nСр.скорость, км/час|-----\n"
           "Ср.расход, л/100|-----\nСр.расход, л/час|-----";
    QTest::newRow("en: trip ignores the initial distance")
        << true << QChar('.') << Trip << QList<uint>{5400, 100000, 7000, 1000} << 999
        << "Time|1:30\nMileage, km|100.000\nExpense, l|8.000\nAv.speed, km/h|66.7\n"
           "Av.exp., l/100|8.0\nAv.exp., l/h|5.3";
    QTest::newRow("ru: time without distance")
        << false << QChar(',') << Trip << QList<uint>{59, 0, 1, 0} << 0
        << "Время|0:00\nПробег, км|0,000\nРасход, л|0,001\nСр.скорость, км/час|0,0\n"
           "Ср.расход, л/100|-----\nСр.расход, л/час|0,1";
    QTest::newRow("en: petrol only")
        << true << QChar('.') << PetrolOnly << QList<uint>{3600, 50000, 4000} << 0
        << "Time|1:00\nMileage, km|50.000\nExpense, l|4.000\nAv.speed, km/h|50.0\n"
           "Av.exp., l/100|8.0\nAv.exp., l/h|4.0";
    QTest::newRow("ru: gas only")
        << false << QChar('.') << GasOnly << QList<uint>{7200, 50000, 9000} << 0
        << "Время|2:00\nПробег, км|50.000\nРасход, л|9.000\nСр.скорость, км/час|25.0\n"
           "Ср.расход, л/100|18.0\nСр.расход, л/час|4.5";
}

void TJournalsCoreTest::averages() {
    QFETCH(bool, english);
    QFETCH(QChar, separator);
    QFETCH(int, which);
    QFETCH(QList<uint>, values);
    QFETCH(int, startKm);
    QFETCH(QString, expected);
    const TLangScope lang(english);
    const TDecimalSeparatorScope sep(separator);
    static const char *const fields[] = {"TotalsGeneral",    "TotalsTrip",   "TotalsReset1",
                                         "TotalsJam",        "TotalsNoJam",  "TotalsReset2",
                                         "TotalsPetrolOnly", "TotalsGasOnly"};
    TMK mk;
    Fixture::EmptyEverything(mk);
    // Fill the neighbours too, so that a wrong field would show.
    for (const char *field : fields)
        for (int i = 0; i < TMK::Field(field).count; ++i)
            mk.Set(field, 77777 + i, i);
    for (int i = 0; i < values.size(); ++i)
        mk.Set(fields[which], values[i], i);
    mk.Set("AllPathStart", startKm);
    const TTextGrid grid = AveragesGrid(mk, TAccumulator(which));
    QCOMPARE(grid.size(), AveragesRows);
    QCOMPARE(Rows(grid), expected);
}

void TJournalsCoreTest::accumulatorCaptions_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("ru")
        << false
        << QStringList{"Накопительные / Общие",        "Поездка",       "Сброс 1",   "Пробки", "Без пробок",
                       "Сброс 2 ( Между заправками )", "Только бензин", "Только газ"};
    QTest::newRow("en") << true
                        << QStringList{
                               "Cumulative / General",           "Trip",        "Reset 1", "Jams", "Traffic",
                               "Reset 2 (between gas stations)", "Petrol only", "Gas only"};
}

void TJournalsCoreTest::accumulatorCaptions() {
    QFETCH(bool, english);
    QFETCH(QStringList, captions);
    const TLangScope lang(english);
    QStringList actual;
    for (int i = 0; i < AccumulatorCount; ++i)
        actual << AccumulatorCaption(TAccumulator(i));
    QCOMPARE(actual, captions);
}

void TJournalsCoreTest::clearAccumulator_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("offset"); // in section 1
    QTest::addColumn<int>("size");
    QTest::newRow("general") << int(TAccumulator::General) << 0 << 16;
    QTest::newRow("trip") << int(TAccumulator::Trip) << 16 << 16;
    QTest::newRow("reset 1") << int(TAccumulator::Reset1) << 32 << 16;
    QTest::newRow("jams") << int(TAccumulator::Jam) << 48 << 16;
    QTest::newRow("outside jams") << int(TAccumulator::NoJam) << 64 << 16;
    QTest::newRow("reset 2") << int(TAccumulator::Reset2) << 80 << 16;
    QTest::newRow("petrol only") << int(TAccumulator::PetrolOnly) << 96 << 12;
    QTest::newRow("gas only") << int(TAccumulator::GasOnly) << 108 << 12;
}

void TJournalsCoreTest::clearAccumulator() {
    QFETCH(int, which);
    QFETCH(int, offset);
    QFETCH(int, size);
    TMK mk;
    std::span<uint8_t> section = mk.Section(1);
    for (size_t i = 0; i < section.size(); ++i)
        section[i] = uint8_t(i * 3 + 1);
    QByteArray expected(reinterpret_cast<const char *>(section.data()), qsizetype(section.size()));
    expected.replace(offset, size, QByteArray(size, '\0'));

    ClearAccumulator(mk, TAccumulator(which));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(section.data()), qsizetype(section.size())), expected);
}

// --- error journal -----------------------------------------------------------------

void TJournalsCoreTest::troubleCode_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("subtype2");
    QTest::addColumn<QString>("expected");
    // Format 0: the letter by range, then the low 14 bits.
    QTest::newRow("0: P0171") << 0 << 0x0171u << 0 << 0 << "P0171";
    QTest::newRow("0: C range") << 0 << 0x4123u << 0 << 0 << "C0123";
    QTest::newRow("0: B range") << 0 << 0x8123u << 0 << 0 << "B0123";
    QTest::newRow("0: U0123") << 0 << 0xC123u << 0 << 0 << "U0123";
    QTest::newRow("0: upper-case hex") << 0 << 0x3ABCu << 0 << 0 << "P3ABC";
    QTest::newRow("0: above 0xFFFF no letter") << 0 << 0x1C123u << 0 << 0 << "0123";
    QTest::newRow("1: low 14 bits") << 1 << 0xC1A3u << 0 << 0 << "01A3";
    QTest::newRow("2: decimal") << 2 << 4294967295u << 0 << 0 << "4294967295";
    QTest::newRow("3: bit 15") << 3 << 0xC000u << 0 << 0 << "49152п";
    QTest::newRow("3: bit 14") << 3 << 0x4001u << 0 << 0 << "16385н";
    QTest::newRow("3: bit 13") << 3 << 0x2001u << 0 << 0 << "8193м";
    QTest::newRow("3: no letter") << 3 << 5u << 0 << 0 << "5";
    QTest::newRow("4: below 256") << 4 << 0xABu << 0 << 0 << "00ABSub";
    QTest::newRow("4: 256") << 4 << 0x100u << 0 << 0 << "0100";
    QTest::newRow("4: 4095") << 4 << 0xFFFu << 0 << 0 << "0FFF";
    QTest::newRow("4: 4096") << 4 << 0x1000u << 0 << 0 << "1000Sub";
    QTest::newRow("4: more than four digits") << 4 << 0x12345u << 0 << 0 << "12345Sub";
    QTest::newRow("5: top byte 127") << 5 << 0x7F0305F1u << 0 << 0 << "SPN = 1521  FMI = 3  Q = ----";
    QTest::newRow("5: top byte 126") << 5 << 0x7E0305F1u << 0 << 0 << "SPN = 1521  FMI = 3  Q = 126";
    QTest::newRow("5: top byte 255") << 5 << 0xFF000000u << 0 << 0 << "SPN = 0  FMI = 0  Q = ----";
    QTest::newRow("5: high SPN bits") << 5 << 0x01E51234u << 0 << 0 << "SPN = 463412  FMI = 5  Q = 1";
    QTest::newRow("10: byte and remainder") << 10 << 0x1234u << 0 << 0 << "18-5";
    QTest::newRow("6: nothing") << 6 << 0x0171u << 0 << 0 << "";
    QTest::newRow("1000: no fault codes") << 1000 << 0x0171u << 0 << 0 << "";
    QTest::newRow("-1: unknown") << -1 << 0x0171u << 0 << 0 << "";
    QTest::newRow("7: subtype 2 is 1") << 7 << 0xC123u << 0 << 1 << "U0123";
    QTest::newRow("7: subtype 2 is 0") << 7 << 0xC123u << 0 << 0 << "0123";
    QTest::newRow("7: subtype 2 is 2") << 7 << 0xC123u << 1 << 2 << "0123";
    QTest::newRow("8: 0x40AB is P0171") << 8 << 0x40ABu << 0 << 0 << "P0171";
    QTest::newRow("8: second range") << 8 << 0x4463u << 0 << 0 << "P0099";
    QTest::newRow("8: last range, thousands lost") << 8 << 0x4FFFu << 0 << 0 << "P0023";
    QTest::newRow("8: above 0x4FFF") << 8 << 0x5000u << 0 << 0 << "P0000";
    QTest::newRow("8: low code, variant 1") << 8 << 0x3FFFu << 1 << 0 << "16383";
    QTest::newRow("8: low code, other variant") << 8 << 0x3FFFu << 2 << 1 << "";
    QTest::newRow("9: subtype 2 set") << 9 << 0x8123u << 0 << 3 << "B0123";
    QTest::newRow("9: subtype 2 clear") << 9 << 0x8123u << 1 << 0 << "33059";
}

void TJournalsCoreTest::troubleCode() {
    QFETCH(int, format);
    QFETCH(uint, code);
    QFETCH(int, variant);
    QFETCH(int, subtype2);
    QFETCH(QString, expected);
    TProtocolSettings protocol;
    protocol.variant = variant;
    protocol.subtype2 = subtype2;
    QCOMPARE(TroubleCodeText(format, code, protocol), expected);

    // The same settings read from section 10.
    TMK mk;
    mk.Set("ProtTypeMain", variant);
    mk.Set("ProtTypeAdd2", subtype2);
    mk.Set("ProtTypeAdd1", 1); // neighbours must not matter
    mk.Set("ProtTypeAdd3", 1);
    const TProtocolSettings fromMK = TProtocolSettings::FromMK(mk);
    QCOMPARE(fromMK.variant, variant);
    QCOMPARE(fromMK.subtype2, subtype2);
}

void TJournalsCoreTest::errorList_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ru, format 0")
        << false << 0
        << "#|Время|Код ошибки\n0|7:05 3.04|P0171\n1||\n2|0:00 1.01|U0123\n3||\n4||\n"
           "5||\n6|23:59 31.12|P0001";
    QTest::newRow("en, format 2")
        << true << 2
        << "#|Time|Trouble code\n0|7:05 3.04|369\n1||\n2|0:00 1.01|49443\n3||\n4||\n"
           "5||\n6|23:59 31.12|1";
}

void TJournalsCoreTest::errorList() {
    QFETCH(bool, english);
    QFETCH(int, format);
    QFETCH(QString, expected);
    const TLangScope lang(english);
    TMK mk;
    Fixture::EmptyEverything(mk);
    Fixture::PutError(mk, 0, 425, 3, 4, 0x0171, 0);
    Fixture::PutError(mk, 1, 425, 3, 4, 0, 0x0171); // empty record, freeze frame only
    Fixture::PutError(mk, 2, 0, 1, 1, 0xC123, 0);
    Fixture::PutError(mk, 6, 1439, 31, 12, 1, 1);
    QCOMPARE(Rows(ErrorListGrid(mk, format)), expected);
}

void TJournalsCoreTest::pidBitmap_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("pid");
    QTest::newRow("PID 1") << 0 << 0x80 << 1;
    QTest::newRow("PID 8") << 0 << 0x01 << 8;
    QTest::newRow("PID 9") << 1 << 0x80 << 9;
    QTest::newRow("PID 13") << 1 << 0x08 << 13;
    QTest::newRow("PID 33") << 4 << 0x80 << 33;
    QTest::newRow("PID 96") << 11 << 0x01 << 96;
}

void TJournalsCoreTest::pidBitmap() {
    QFETCH(int, byte);
    QFETCH(int, mask);
    QFETCH(int, pid);
    std::array<uint8_t, 12> bitmap{};
    bitmap[size_t(byte)] = uint8_t(mask);
    for (int p = 0; p <= 97; ++p)
        QCOMPARE(PidSupported(bitmap, p), p == pid);
    bitmap.fill(0xFF);
    QVERIFY(!PidSupported(bitmap, 0));
    QVERIFY(!PidSupported(bitmap, 97));
    QVERIFY(!PidSupported(std::span<const uint8_t>(bitmap).first(4), 33)); // short bitmap: no bit
}

void TJournalsCoreTest::statusTexts_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("fuel");      // statuses 0, 1, 2, 3, 4, 8, 16, 255
    QTest::addColumn<QStringList>("secondary"); // statuses 0, 1, 2, 3, 4, 255, -1, 256
    QTest::newRow("ru") << false << QStringList{"Неизвестно",       "Разомкнута(Ош.Тдв)", "Замкнута (ДатчО2)",
                                                "Неизвестно",       "Разомк.(Нагр.дв.)",  "Разомк.(ОшСист)",
                                                "Замкн.(ОшДатчО2)", "Неизвестно"}
                        << QStringList{"Неизвестно", "В катализатор", "Из катализатора", "Неизвестно",
                                       "Выключено",  "Неизвестно",    "Неизвестно",      "Неизвестно"};
    QTest::newRow("en")
        << true
        << QStringList{"Unknown",
                       "Open loop(ins.eng.T)",
                       "Closed loop(O2 sens)",
                       "Unknown",
                       "Open loop(Eng.load)",
                       "Open loop(SysFault)",
                       "Closed loop(O2s Flt)",
                       "Unknown"}
        << QStringList{
               "Unknown", "Upstream of catal.", "Downstream of catal", "Unknown", "Off", "Unknown", "Unknown",
               "Unknown"};
}

void TJournalsCoreTest::statusTexts() {
    QFETCH(bool, english);
    QFETCH(QStringList, fuel);
    QFETCH(QStringList, secondary);
    const TLangScope lang(english);
    QStringList actualFuel, actualSecondary;
    for (int s : {0, 1, 2, 3, 4, 8, 16, 255})
        actualFuel << FuelSystemStatusText(s);
    for (int s : {0, 1, 2, 3, 4, 255, -1, 256})
        actualSecondary << SecondaryAirStatusText(s);
    QCOMPARE(actualFuel, fuel);
    QCOMPARE(actualSecondary, secondary);
}

void TJournalsCoreTest::freezeFrameAllPids_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ru") << false << QChar(',')
                        << "Код ошибки|P0300\n"
                           "Сост. топливной системы 1|Замкн.(ОшДатчО2)\n"
                           "Сост. топливной системы 2|Разомкнута(Ош.Тдв)\n"
                           "Нагрузка на двигатель, %|14\n"
                           "ТОЖ, С|-40\n"
                           "Краткосрочная корр.подачи топл.Б1, %|18\n"
                           "Краткосрочная корр.подачи топл.Б2, %|20\n"
                           "Долгосрочная корр.продачи топл.Б1, %|22\n"
                           "Долгосрочная корр.продачи топл.Б2, %|24\n"
                           "Давление топлива, кПа|2,6\n"
                           "Давление во впускном коллекторе, кПа|28\n"
                           "Обороты/мин|3200\n"
                           "Скорость, км/час|30\n"
                           "Угол опережения зажигания, ВМТ|-3,4\n"
                           "Температура впускного воздуха, С|36\n"
                           "Массовый расход воздуха, кг/час|3,8\n"
                           "Дроссель, %|40\n"
                           "Состояние вторичного воздуха|Из катализатора\n"
                           "Датчик кислорода 1, В|0,44\n"
                           "Датчик кислорода 2, В|-0,46\n"
                           "Время с момента запуска двигателя, с|48\n"
                           "Пробег с вкл. лампой неиспр., км|50\n"
                           "Давление в топл.рампе отн.вакуума, кПа|52\n"
                           "Давление в топл.рампе (выс.диап.), кПа|5,4\n"
                           "Желаемый расход системы EGR, %|56\n"
                           "Ошибка регул.расхода сис.EGR, %|58\n"
                           "Жел.уровень продувки паров топлива, %|60\n"
                           "Число прогревов двиг.с момента сброса ошибок|62\n"
                           "Пробег с момента сброса ошибок, км|64\n"
                           "Давление паров топ.в системе продувки|66\n"
                           "Атмосферное давление, кПа|68\n"
                           "Температура катализатора B1 S1, С|70\n"
                           "Температура катализатора B2 S1, С|72\n"
                           "Температура катализатора B1 S2, С|74\n"
                           "Температура катализатора B2 S2, С|76\n"
                           "Напряжение питания БУ, В|7,8\n"
                           "Желаемое значение лямбда|0,80\n"
                           "Отн.положение дросс.заслонки, %|82\n"
                           "Температура внешнего воздуха, C|84\n"
                           "Жел. положение привода дросселя, %|86\n"
                           "Время с момента вкл.лампы неиспр., мин|88\n"
                           "Время с момента сброса ошибок, мин|32767";
    QTest::newRow("en") << true << QChar('.')
                        << "Trouble code|P0300\n"
                           "Fuel system 1 status|Closed loop(O2s Flt)\n"
                           "Fuel system 2 status|Open loop(ins.eng.T)\n"
                           "Calc.engine load, %|14\n"
                           "Eng.coolant temper., C|-40\n"
                           "Short term fuel trim-Bank 1, %|18\n"
                           "Short term fuel trim-Bank 2, %|20\n"
                           "Long term fuel trim-Bank 1, %|22\n"
                           "Long term fuel trim-Bank 2, %|24\n"
                           "Fuel pressure, kPa|2.6\n"
                           "Intake manifold pressure, kPa|28\n"
                           "Engine RPM|3200\n"
                           "Vehicle speed, km/h|30\n"
                           "Timing advance|-3.4\n"
                           "Intake air temperature, C|36\n"
                           "MAF air flow rate, kg/h|3.8\n"
                           "Throttle position, %|40\n"
                           "Состояние вторичного воздуха|Downstream of catal\n"
                           "Oxygen sensor voltage 1, V|0.44\n"
                           "Oxygen sensor voltage 2, V|-0.46\n"
                           "Run time since engine start, s|48\n"
                           "Distance traveled with MIL on, km|50\n"
                           "Fuel Rail Press.(rel.to manifold vacuum), kPa|52\n"
                           "Fuel Pressure (diesel), kPa|5.4\n"
                           "Commanded EGR, %|56\n"
                           "EGR Error, %|58\n"
                           "Commanded evaporative purge, %|60\n"
                           "# of warm-ups since codes cleared|62\n"
                           "Distance traveled since codes cleared, km|64\n"
                           "Evap. System Vapor Pressure, Pa|66\n"
                           "Barometric pressure, kPa|68\n"
                           "Catalyst Temperature B1 S1, C|70\n"
                           "Catalyst Temperature B2 S1, C|72\n"
                           "Catalyst Temperature B1 S2, C|74\n"
                           "Catalyst Temperature B2 S2, C|76\n"
                           "Control module voltage, V|7.8\n"
                           "Command equivalence ratio|0.80\n"
                           "Relative throttle position, %|82\n"
                           "Ambient air temperature, C|84\n"
                           "Commanded throttle actuator, %|86\n"
                           "Time run with MIL on, min|88\n"
                           "Time since trouble codes cleared, min|32767";
}

void TJournalsCoreTest::freezeFrameAllPids() {
    QFETCH(bool, english);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    const TLangScope lang(english);
    const TDecimalSeparatorScope sep(separator);
    TMK mk;
    Fixture::EmptyEverything(mk);
    Fixture::SetAllPids(mk);
    // Every value is its own record offset, so that a wrong offset shows; a few
    // carry signs, statuses and the extremes.
    const int index = 3;
    Fixture::PutError(mk, index, 0, 1, 1, 0x0171, 0x0300);
    for (int offset = 14; offset < 92; offset += 2)
        Fixture::PutFreezeValue(mk, index, offset, int16_t(offset));
    Fixture::PutFreezeValue(mk, index, 12, 0x1001); // status 16 then 1
    Fixture::PutFreezeValue(mk, index, 16, -40);
    Fixture::PutFreezeValue(mk, index, 32, 3200); // PID 12 sits after PID 13's value
    Fixture::PutFreezeValue(mk, index, 34, -34);
    Fixture::PutFreezeValue(mk, index, 42, 2); // secondary air
    Fixture::PutFreezeValue(mk, index, 46, -46);
    Fixture::PutFreezeValue(mk, index, 90, 32767);

    const TTextGrid lines = FreezeFrame(mk, index);
    QCOMPARE(lines.size(), FreezeFrameMaxLines);
    QCOMPARE(Rows(lines), expected);
    // Every label the viewer sizes its column for.
    for (const QStringList &line : lines)
        QVERIFY2(FreezeFrameLabels().contains(line[0]), qPrintable(line[0]));
}

void TJournalsCoreTest::freezeFrameSelection_data() {
    QTest::addColumn<uint>("code");
    QTest::addColumn<uint>("freezeCode");
    QTest::addColumn<QList<int>>("pids");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no bits: only the code line")
        << 0x0171u << 0xC001u << QList<int>{} << "Trouble code|U0001";
    QTest::newRow("empty record still shows its frame")
        << 0u << 0x0171u << QList<int>{13} << "Trouble code|P0171\nVehicle speed, km/h|30";
    QTest::newRow("no freeze frame") << 0x0171u << 0u << QList<int>{3, 4, 5} << "";
    QTest::newRow("unlisted PIDs show nothing")
        << 0x0171u << 0x0171u << QList<int>{1, 2, 19, 22, 32, 47, 96} << "Trouble code|P0171";
    QTest::newRow("fuel status gives two lines")
        << 0x0171u << 0x0171u << QList<int>{3, 78}
        << "Trouble code|P0171\nFuel system 1 status|Open loop(Eng.load)\nFuel system 2 status|Unknown\n"
           "Time since trouble codes cleared, min|90";
}

void TJournalsCoreTest::freezeFrameSelection() {
    QFETCH(uint, code);
    QFETCH(uint, freezeCode);
    QFETCH(QList<int>, pids);
    QFETCH(QString, expected);
    const TLangScope lang(true);
    TMK mk;
    Fixture::EmptyEverything(mk);
    for (int pid : pids) {
        std::span<uint8_t> bitmap = mk.Section(11).subspan(4, 12);
        bitmap[size_t((pid - 1) / 8)] |= uint8_t(0x80 >> ((pid - 1) % 8));
    }
    Fixture::PutError(mk, 6, 0, 1, 1, code, freezeCode);
    for (int offset = 14; offset < 92; offset += 2)
        Fixture::PutFreezeValue(mk, 6, offset, int16_t(offset));
    Fixture::PutFreezeValue(mk, 6, 12, 0x0400);
    QCOMPARE(Rows(FreezeFrame(mk, 6)), expected);
    if (code == 0) QCOMPARE(Join(ErrorListGrid(mk, 0)[7]), QStringLiteral("6||"));
}

void TJournalsCoreTest::clearErrorJournal() {
    TMK mk;
    Fixture::FillSample(mk);
    std::span<uint8_t> section = mk.Section(11);
    for (size_t i = 0; i < 4; ++i)
        section[i] = 0xA5;
    for (size_t i = 660; i < section.size(); ++i)
        section[i] = 0x5A;
    QByteArray expected(reinterpret_cast<const char *>(section.data()), qsizetype(section.size()));
    expected.replace(4, 12, QByteArray(12, '\0'));
    for (int i = 0; i < 7; ++i)
        expected.replace(16 + i * 92 + 4, 8, QByteArray(8, '\0'));

    Journals::ClearErrorJournal(mk);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(section.data()), qsizetype(section.size())), expected);
    for (int i = 0; i < 7; ++i)
        QVERIFY(FreezeFrame(mk, i).isEmpty());
    for (int row = 1; row <= 7; ++row)
        QCOMPARE(ErrorListGrid(mk, 0)[row].mid(1), QStringList({"", ""}));
}

// --- export and reports ------------------------------------------------------------

void TJournalsCoreTest::exportText_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("ru") << false;
    QTest::newRow("en") << true;
}

void TJournalsCoreTest::exportText() {
    QFETCH(bool, english);
    const TLangScope lang(english);
    TMK mk;
    Fixture::FillSample(mk);
    const TTextGrid grid = JournalGrid(mk, TJournal::Trip);
    const QByteArray bytes = GridFileBytes(grid);

    // 22 lines of 9 tab-terminated cells, CR LF after each line.
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    QCOMPARE(lines.size(), JournalRows);
    for (int r = 0; r < lines.size(); ++r) {
        QByteArray line = lines[r];
        QVERIFY(line.endsWith(r + 1 < lines.size() ? "\t\r" : "\t"));
        if (line.endsWith('\r')) line.chop(1);
        QCOMPARE(line.count('\t'), JournalColumns);
        // cp1251, one byte a character.
        QCOMPARE(Cp1251::Decode(line), grid[r].join(QLatin1Char('\t')) + QLatin1Char('\t'));
    }
    const QByteArray heading = english ? QByteArray("#\tDate and time of rec.\t")
                                       : QByteArray("#\t\xC4\xE0\xF2\xE0 \xE8 \xE2\xF0\xE5\xEC\xFF "
                                                    "\xE7\xE0\xEF\xE8\xF1\xE8\t");
    QVERIFY(bytes.startsWith(heading));
    QCOMPARE(Cp1251::Encode(GridText(grid)), bytes);
}

void TJournalsCoreTest::saveGrid() {
    const TLangScope lang(false);
    TMK mk;
    Fixture::FillSample(mk);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trip.txt"));
    TestEnv::WriteFile(path, QByteArray(5000, 'x')); // replaced, not appended to
    const TTextGrid grid = JournalGrid(mk, TJournal::Tank);
    Journals::SaveGrid(grid, path);
    QCOMPARE(TestEnv::ReadFile(path), GridFileBytes(grid));
}

void TJournalsCoreTest::saveGridFailure() {
    const TLangScope lang(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/trip.txt"));
    try {
        Journals::SaveGrid({{"a"}}, path);
        QFAIL("no error raised");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot write file \"%1\": ").arg(path)),
                 qPrintable(e.message()));
        QVERIFY(e.message().size() > path.size() + 24); // the system's reason follows
    }
    QVERIFY(!QFile::exists(path));
}

void TJournalsCoreTest::reports_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("ru") << false;
    QTest::newRow("en") << true;
}

void TJournalsCoreTest::reports() {
    QFETCH(bool, english);
    const TLangScope lang(english);
    const TDecimalSeparatorScope sep(QLatin1Char(','));
    TMK mk;
    Fixture::FillSample(mk);
    QCOMPARE(Report(mk, TReport::Trip, 0), GridText(JournalGrid(mk, TJournal::Trip)));
    QCOMPARE(Report(mk, TReport::Tank, 0), GridText(JournalGrid(mk, TJournal::Tank)));
    QCOMPARE(Report(mk, TReport::Errors, 5), GridText(ErrorListGrid(mk, 5)));
    QVERIFY(Report(mk, TReport::Errors, 5).contains(QStringLiteral("Q = ----\t")));

    // Averages: eight captions, each followed by its six label/value rows.
    const QStringList lines = Report(mk, TReport::Averages, 0).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 8 * 7 + 1);
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < AccumulatorCount; ++i) {
        QCOMPARE(lines[i * 7], AccumulatorCaption(TAccumulator(i)));
        const TTextGrid rows = AveragesGrid(mk, TAccumulator(i));
        for (int r = 0; r < AveragesRows; ++r)
            QCOMPARE(lines[i * 7 + 1 + r], rows[r][0] + QLatin1Char('\t') + rows[r][1] + QLatin1Char('\t'));
    }
    QCOMPARE(lines[2], (english ? QStringLiteral("Mileage, km") : QStringLiteral("Пробег, км")) +
                           QStringLiteral("\t3150000,000\t"));
}

void TJournalsCoreTest::faultFormatOfTheImage_data() {
    QTest::addColumn<uint>("model");
    for (const TDeviceModel &m : DeviceModels())
        QTest::addRow("0x%04X", m.Code) << uint(m.Code);
}

void TJournalsCoreTest::faultFormatOfTheImage() {
    QFETCH(uint, model);
    TMK mk; // leaves the program-wide catalogue at the default model
    const TProtBase *current = Prots().CurrentProtocol;
    QVERIFY(current);
    mk.ModelCode = uint16_t(model);
    TProtCatalogue catalogue;
    catalogue.BuildProtocolList(uint16_t(model), 0, 0);
    QVERIFY(catalogue.Count() > 0);
    for (int i = 0; i < catalogue.Count(); ++i) {
        mk.Set("ProtocolIndex", i);
        QCOMPARE(FaultFormatOf(mk), catalogue.At(i).FaultFormat);
    }
    QCOMPARE(Prots().CurrentProtocol, current); // untouched
    // A number the model's list does not have: the current protocol's format.
    for (int beyond : {catalogue.Count(), 255, 256, 65535}) {
        mk.Set("ProtocolIndex", beyond);
        QCOMPARE(FaultFormatOf(mk), current->FaultFormat);
    }
}

void TJournalsCoreTest::fileReport_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("which");
    for (bool english : {false, true})
        for (int which = 0; which < 4; ++which)
            QTest::addRow("%s, %d", english ? "en" : "ru", which) << english << which;
}

void TJournalsCoreTest::fileReport() {
    QFETCH(bool, english);
    QFETCH(int, which);
    const TLangScope lang(english);
    TMK mk;
    Fixture::LoadSampleImage(mk);
    Fixture::FillSample(mk);
    // A protocol that writes its codes without the letter (format 1).
    int plain = -1;
    for (int i = Prots().Count() - 1; i >= 0; --i)
        if (Prots().At(i).FaultFormat == 1) plain = i;
    QVERIFY(plain >= 0);
    mk.Set("ProtocolIndex", plain);
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("car.vorng"));
    SettingsFile::Save(mk, path);

    const QString report = FileReport(path, TReport(which));
    QCOMPARE(report, Report(mk, TReport(which), FaultFormatOf(mk)));
    QVERIFY(!report.isEmpty());
    QCOMPARE(FaultFormatOf(mk), 1);
    if (TReport(which) == TReport::Errors)
        QVERIFY(report.contains(u"\t0171\t") && !report.contains(u"P0171"));
    QVERIFY_THROWS_EXCEPTION(Error,
                             FileReport(dir.filePath(QStringLiteral("missing.vorng")), TReport(which)));
}

void TJournalsCoreTest::reportNames() {
    TReport which = TReport::Averages;
    QVERIFY(ReportByName(u"trip", &which));
    QCOMPARE(which, TReport::Trip);
    QVERIFY(ReportByName(u"tank", &which));
    QCOMPARE(which, TReport::Tank);
    QVERIFY(ReportByName(u"errors", &which));
    QCOMPARE(which, TReport::Errors);
    QVERIFY(ReportByName(u"averages", &which));
    QCOMPARE(which, TReport::Averages);
    for (const char16_t *bad : {u"", u"Trip", u"refuelling", u"average"})
        QVERIFY(!ReportByName(bad, &which));
    QCOMPARE(which, TReport::Averages);
}

QTEST_GUILESS_MAIN(TJournalsCoreTest)
#include "tst_JournalsCore.moc"
