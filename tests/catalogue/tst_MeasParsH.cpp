// Measured parameters: sample texts, bar texts, texts by language and the set order.

#include "base/Lang.h"
#include "catalogue/MeasParsH.h"
#include "catalogue/ProtsH.h"

#include <QTest>
#include <map>
#include <set>

Q_DECLARE_METATYPE(TDeviceCaps)

namespace {

TDeviceCaps Caps(std::initializer_list<Cap::TCap> caps) {
    return TDeviceCaps::From(TCapSet(caps));
}

} // namespace

class TestMeasPars : public QObject {
    Q_OBJECT

private slots:
    void sampleAndBarTexts_data();
    void sampleAndBarTexts();
    void expenseKMax();
    void setOrder_data();
    void setOrder();
    void texts_data();
    void texts();
    void classTable();
    void find();
    void fixedPoint_data();
    void fixedPoint();
};

void TestMeasPars::sampleAndBarTexts_data() {
    QTest::addColumn<QString>("cls");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("minText");
    QTest::addColumn<QString>("maxText");
    QTest::addColumn<bool>("bar");
    QTest::newRow("TVelocity") << "TVelocity" << 12 << " 60"
                               << "0"
                               << "160" << true;
    QTest::newRow("TRevolutions") << "TRevolutions" << 13 << "2000"
                                  << "0"
                                  << "8000" << true;
    QTest::newRow("TUOZ") << "TUOZ" << 25 << " 10.0"
                          << "-84.0"
                          << "84.0" << true;
    QTest::newRow("TMAF") << "TMAF" << 18 << " 50.0"
                          << "0.0"
                          << "240.0" << true;
    QTest::newRow("THVBCurrent integer sample") << "THVBCurrent" << 53 << "   40"
                                                << "-200.0"
                                                << "200.0" << true;
    QTest::newRow("TMomentaryExpenseH integer sample") << "TMomentaryExpenseH" << 15 << "  100"
                                                       << "0.00"
                                                       << "8.00" << true;
    QTest::newRow("TInjectionTime width 3") << "TInjectionTime" << 16 << "5.00"
                                            << "0.00"
                                            << "24.00" << true;
    QTest::newRow("TMomentaryExpenseK") << "TMomentaryExpenseK" << 14 << " 10.0"
                                        << "0.0"
                                        << "80.0" << true;
    QTest::newRow("TMomentaryExpenseL") << "TMomentaryExpenseL" << 65 << " 10.0"
                                        << "0.0"
                                        << "10.0" << true;
    QTest::newRow("TAccVoltage") << "TAccVoltage" << 10 << "14.0"
                                 << "0.0"
                                 << "16.0" << true;
    QTest::newRow("TCorrUOZ no bar") << "TCorrUOZ" << 26 << " 1.0"
                                     << "0.0"
                                     << "10.0" << false;
    QTest::newRow("TO2Probe1") << "TO2Probe1" << 22 << "1.00"
                               << "0.00"
                               << "4.00" << true;
    QTest::newRow("THVBChargeLimit") << "THVBChargeLimit" << 45 << "-20"
                                     << "-50"
                                     << "0" << true;
    QTest::newRow("TAKPPMode width 1") << "TAKPPMode" << 37 << "0"
                                       << "0"
                                       << "100" << false;
    QTest::newRow("TWorkTimeEngine") << "TWorkTimeEngine" << 42 << "10000"
                                     << "0"
                                     << "800" << false;
    QTest::newRow("THVBFanSpeed") << "THVBFanSpeed" << 48 << " 3"
                                  << "0"
                                  << "6" << true;
    QTest::newRow("TTime") << "TTime" << 7 << "15:30"
                           << "0"
                           << "100" << false;
    QTest::newRow("TTripTime") << "TTripTime" << 1 << " 1:15"
                               << "0"
                               << "100" << false;
    QTest::newRow("TTripMomentaryExpenseK") << "TTripMomentaryExpenseK" << 5 << "23.45"
                                            << "0"
                                            << "100" << false;
    QTest::newRow("TTripPath") << "TTripPath" << 2 << "517.3"
                               << "0"
                               << "100" << false;
    QTest::newRow("TTripExpense") << "TTripExpense" << 3 << "123.4"
                                  << "0"
                                  << "100" << false;
    QTest::newRow("TTripVelocity") << "TTripVelocity" << 4 << " 47"
                                   << "0"
                                   << "100" << false;
    QTest::newRow("TLightsFlag") << "TLightsFlag" << 11 << "1"
                                 << "0"
                                 << "100" << false;
    QTest::newRow("TLightsFlag1") << "TLightsFlag1" << 34 << "1"
                                  << "0"
                                  << "100" << false;
    QTest::newRow("TTemperAir") << "TTemperAir" << 11 << " 20"
                                << "-20"
                                << "60" << true;
}

void TestMeasPars::sampleAndBarTexts() {
    QFETCH(QString, cls);
    QFETCH(int, code);
    QFETCH(QString, sample);
    QFETCH(QString, minText);
    QFETCH(QString, maxText);
    QFETCH(bool, bar);
    auto p = CreateMeasPar(cls.toStdString(), TDeviceCaps());
    QVERIFY(p);
    QCOMPARE(p->ClassName, cls);
    QCOMPARE(int(p->Code), code);
    QCOMPARE(p->SampleText, sample);
    QCOMPARE(p->HasBar, bar);
    QVERIFY(p->MinText.isEmpty() && p->MaxText.isEmpty());
    p->PrepareData();
    QCOMPARE(p->MinText, minText);
    QCOMPARE(p->MaxText, maxText);
}

void TestMeasPars::expenseKMax() {
    auto p = CreateMeasPar("TMomentaryExpenseK", TDeviceCaps());
    QCOMPARE(p->Max, 240);
    QVERIFY(dynamic_cast<TMomentaryExpenseK *>(p.get()));
    p->PrepareData();
    QCOMPARE(p->Max, 800);
    QCOMPARE(p->MaxText, QStringLiteral("80.0"));
    // Only that class overrides PrepareData.
    auto h = CreateMeasPar("TMomentaryExpenseH", TDeviceCaps());
    h->PrepareData();
    QCOMPARE(h->Max, 800);
    QCOMPARE(h->MaxText, QStringLiteral("8.00"));
}

void TestMeasPars::setOrder_data() {
    QTest::addColumn<TDeviceCaps>("caps");
    QTest::addColumn<QString>("code11");
    QTest::addColumn<bool>("has34");
    QTest::newRow("no flags") << TDeviceCaps() << "TTemperAir" << false;
    QTest::newRow("no air, low beam")
        << Caps({Cap::NoAirTemperature, Cap::HasLowBeamControl}) << "TLightsFlag" << false;
    QTest::newRow("low beam only") << Caps({Cap::HasLowBeamControl}) << "TTemperAir" << true;
    QTest::newRow("no air only") << Caps({Cap::NoAirTemperature}) << "TTemperAir" << false;
}

void TestMeasPars::setOrder() {
    QFETCH(TDeviceCaps, caps);
    QFETCH(QString, code11);
    QFETCH(bool, has34);
    const TMeasParList set = BuildMeasParSet(caps);
    QCOMPARE(int(set.size()), has34 ? 64 : 63);
    QStringList classes;
    for (const auto &p : set)
        classes << p->ClassName;
    QCOMPARE(classes.mid(0, 11), (QStringList{"TVelocity", "TRevolutions", "TInjectionTime",
                                              "TMomentaryExpenseK", "TMomentaryExpenseH", "TAccVoltage",
                                              "TOil", "TPrognoz", "TTime", code11, "TTemperLiq"}));
    QCOMPARE(FindMeasPar(set, 11)->ClassName, code11);
    QCOMPARE(FindMeasPar(set, 34) != nullptr, has34);
    const qsizetype ddk = classes.indexOf(QStringLiteral("TDDK"));
    QCOMPARE(classes.at(ddk + 1), has34 ? QStringLiteral("TLightsFlag1") : QStringLiteral("TFuelPressFact"));
    QCOMPARE(classes.last(), QStringLiteral("TMomentaryExpenseL"));
    QCOMPARE(classes.count(QStringLiteral("TLightsFlag")) + classes.count(QStringLiteral("TTemperAir")), 1);
    std::set<int> codes;
    for (const auto &p : set)
        QVERIFY2(codes.insert(p->Code).second, qPrintable(p->ClassName));
}

void TestMeasPars::texts_data() {
    QTest::addColumn<QString>("cls");
    QTest::addColumn<bool>("powerReserve");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("texts"); // name, title, x4 label/unit, x9 label/unit, list
    QTest::newRow("TPrognoz en") << "TPrognoz" << false << true
                                 << QStringList{"Mileage progn", "Mileage progn,km",
                                                "MilePrgn",      "km",
                                                "Mile.Progn.",   "km",
                                                "MilePrgn,km"};
    QTest::newRow("TPrognoz ru") << "TPrognoz" << false << false
                                 << QStringList{"Прогноз проб", "Прогноз пробега,км", "Прогн.Пр",
                                                "км",           "Прогн.проб.",        "км",
                                                "Прогн.Пр,км"};
    QTest::newRow("TPrognoz power reserve en")
        << "TPrognoz" << true << true
        << QStringList{"Power res.", "Power res,km", "PowerRes", "km", "PowerRes", "km", "PowerRes,km"};
    QTest::newRow("TPrognoz power reserve ru")
        << "TPrognoz" << true << false
        << QStringList{"Запас хода", "Запас хода,км", "Запас Хд", "км", "Запас Хд", "км", "Запас Хд,km"};
    QTest::newRow("other classes ignore the terms")
        << "TOil" << true << true
        << QStringList{"Fuel rem.", "Fuel rem,l", "Fuel", "liters", "Fuel rem.", "liters", "Fuel rem,l"};
    QTest::newRow("TLightsFlag ru") << "TLightsFlag" << false << false
                                    << QStringList{"Упр.БСвет", "Упр.БСвет", "Упр.БСвет", "",
                                                   "Упр.БСвет", "",          "Упр.БСвет"};
    QTest::newRow("TLightsFlag1 en") << "TLightsFlag1" << false << true
                                     << QStringList{"LowBmCntr", "LowBmCntr", "LowBmCntr", "",
                                                    "LowBmCntr", "",          "LowBmCntr"};
    QTest::newRow("TMomentaryExpenseK en keeps its units")
        << "TMomentaryExpenseK" << false << true
        << QStringList{"Expense/100", "Expense,l/100", "Expens", "л/100", "Expens", "л/100", "Expense,l/100"};
    QTest::newRow("TTemperAir ru") << "TTemperAir" << false << false
                                   << QStringList{"Твоз/вод/дв", "Твоздуха", "Tвозд",   "градусы",
                                                  "Твоздуха",    "градусы",  "Твоздуха"};
    QTest::newRow("THVBCurrent ru") << "THVBCurrent" << false << false
                                    << QStringList{"Ток ВВБ", "Ток ВВБ,A", "Ток ВВБ", "A",
                                                   "Ток ВВБ", "A",         "Ток ВВБ"};
    QTest::newRow("TTrim en") << "TTrim" << false << true
                              << QStringList{"Trim", "Trim", "Trim", "", "Trim", "", "Trim"};
}

void TestMeasPars::texts() {
    QFETCH(QString, cls);
    QFETCH(bool, powerReserve);
    QFETCH(bool, english);
    QFETCH(QStringList, texts);
    TLangScope lang(english);
    auto p = CreateMeasPar(cls.toStdString(), powerReserve ? Caps({Cap::PowerReserveTerms}) : TDeviceCaps());
    QVERIFY(p);
    QCOMPARE((QStringList{p->Name, p->Title, p->LabelX4, p->UnitX4, p->LabelX9, p->UnitX9, p->ListLabel}),
             texts);
}

void TestMeasPars::classTable() {
    const auto names = MeasParClassNames();
    QCOMPARE(names.size(), size_t(65));
    std::map<int, int> perCode;
    std::set<QString> distinct;
    int previous = 0;
    for (const char *name : names) {
        auto p = CreateMeasPar(name, TDeviceCaps());
        QVERIFY2(p, name);
        QVERIFY(p->Code >= previous); // ordered by code
        previous = p->Code;
        ++perCode[p->Code];
        distinct.insert(p->ClassName);
        QVERIFY(!p->Name.isEmpty() && !p->SampleText.isEmpty() && !p->ListLabel.isEmpty());
        QVERIFY(p->Decimals >= 0 && p->Decimals <= 2);
        QVERIFY(p->Min <= p->Max);
    }
    QCOMPARE(distinct.size(), size_t(65));
    for (int code = 1; code <= 65; ++code)
        QCOMPARE(perCode[code], code == 40 ? 0 : code == 11 ? 2 : 1);
    QVERIFY(!CreateMeasPar("TNoSuchParameter", TDeviceCaps()));
}

void TestMeasPars::find() {
    const TMeasParList set = BuildMeasParSet(TDeviceCaps());
    QCOMPARE(FindMeasPar(set, 12)->ClassName, QStringLiteral("TVelocity"));
    QCOMPARE(FindMeasPar(set, 65)->ClassName, QStringLiteral("TMomentaryExpenseL"));
    QVERIFY(!FindMeasPar(set, 0));
    QVERIFY(!FindMeasPar(set, 40));
    QVERIFY(!FindMeasPar(set, 66));
}

void TestMeasPars::fixedPoint_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << 1 << "0.0";
    QTest::newRow("small negative") << -5 << 1 << "-0.5";
    QTest::newRow("two decimals") << 7 << 2 << "0.07";
    QTest::newRow("integer") << -42 << 0 << "-42";
    QTest::newRow("extreme") << int(INT32_MIN) << 2 << "-21474836.48";
}

void TestMeasPars::fixedPoint() {
    QFETCH(int, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(TMeasParBase::FixedPoint(value, decimals), text);
}

QTEST_GUILESS_MAIN(TestMeasPars)
#include "tst_MeasParsH.moc"
