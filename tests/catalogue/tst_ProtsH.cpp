// The protocol catalogue: model table, entry order, conditional codes, options,
// unit availability and the list error.

#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/MeasParsH.h"
#include "catalogue/ProtsH.h"

#include <QSet>
#include <QTest>
#include <map>
#include <set>

Q_DECLARE_METATYPE(std::vector<uint8_t>)

namespace {

QStringList Names(const TProtCatalogue &c) {
    QStringList names;
    for (const auto &e : c.ProtocolList)
        names << e->Name;
    return names;
}

std::vector<uint8_t> Vec(std::span<const uint8_t> s) {
    return {s.begin(), s.end()};
}

std::vector<uint8_t> Range(int first, int last) {
    std::vector<uint8_t> v;
    for (int i = first; i <= last; ++i)
        v.push_back(uint8_t(i));
    return v;
}

std::vector<uint8_t> Cat(std::vector<uint8_t> a, std::initializer_list<uint8_t> b) {
    a.insert(a.end(), b);
    return a;
}

const TProtBase *ByKind(const TProtCatalogue &c, int kind) {
    for (const auto &e : c.ProtocolList)
        if (e->Kind == kind) return e.get();
    return nullptr;
}

void Build(uint16_t model, bool english, uint8_t protocol = 0) {
    TLangScope lang(english);
    Prots().BuildProtocolList(model, protocol, 0);
}

} // namespace

class TestProts : public QObject {
    Q_OBJECT

private slots:
    void defaultModel_data();
    void defaultModel();
    void modelLists_data();
    void modelLists();
    void lists8000And8200();
    void unitsClearedBetweenBuilds();
    void capsClearedBetweenBuilds();
    void conditionalCodes_data();
    void conditionalCodes();
    void conditionalCodeOrder();
    void carbAndUni_data();
    void carbAndUni();
    void options_data();
    void options();
    void defaultValueTexts();
    void flagDependentRows_data();
    void flagDependentRows();
    void canOnlyRows();
    void listError_data();
    void listError();
    void selectProtocol();
    void codeLimit();
    void modelTable();
    void capNames();
    void everyModelInvariants();
};

void TestProts::defaultModel_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("en") << true << QStringList{"Jan", "M74", "Bosch M7.9.7", "Bosch M7.0", "OBD2E"};
    QTest::newRow("ru") << false << QStringList{"Январь", "M74", "Бош M7.9.7", "Бош M7.0", "OBD2E"};
}

void TestProts::defaultModel() {
    QFETCH(bool, english);
    QFETCH(QStringList, names);
    Build(0x4000, english);
    const TProtCatalogue &c = Prots();
    QCOMPARE(Names(c), names);
    QCOMPARE(c.DeviceModelName, QStringLiteral("Model 01"));
    QVERIFY(c.CurrentProtocol == c.ProtocolList[0].get());
    QCOMPARE(c.CurrentProtocol->Name, names[0]);
    QCOMPARE(c.CurrentProtocol->Kind, 41);
    QCOMPARE(c.CurrentProtocol->FaultFormat, 1);
    QCOMPARE(Vec(c.CurrentProtocol->DispList()), Cat(Range(1, 16), {17, 18, 25, 20, 22, 21}));
    QCOMPARE(Vec(c.CurrentProtocol->UnitList()), (std::vector<uint8_t>{8, 9, 12}));
    QVERIFY(c.CurrentProtocol->HasFanControl);
    QCOMPARE(c.CurrentProtocol->OptCaption[Add1],
             english ? QStringLiteral("Fan control channel") : QStringLiteral("Канал включения вентилятора"));
    QCOMPARE(c.CurrentProtocol->OptShown(Add1), (QStringList{"1", "2", "1+2", "3"}));
    QVERIFY(c.Caps.NoVoice && c.Caps.NoGas && c.Caps.HasAutoObd && c.Caps.HasAddSystems);
    QVERIFY(c.Caps.OfferObd2eOnly && !c.Caps.HasCan && !c.Caps.NoParktronic);
}

void TestProts::modelLists_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("head");
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("0x4400") << 0x4400 << 24
                            << QStringList{"UAZ 17971E5", "UAZ AECS D", "M86Pro", "CAN Toyota"}
                            << QStringList{"Bosch M7.0", "OBD2Q", "OBD2S", "OBD2P"} << QStringList{"OBD2E"};
    const QStringList list8080 = {
        "CAN Toyota", "Estima20", "Toyota Sai", "Prius2.0", "Prius3.0",  "Lex RX450H", "Harrier",  "Prius3.5",
        "Lex RX400H", "Prius5.0", "Prius5.1",   "Prius5.2", "Camry 4.0", "Lex GS450H", "Estima10", "CAN"};
    QTest::newRow("0x8080") << 0x8080 << 16 << list8080 << QStringList{} << QStringList{"OBDPWM"};
    QTest::newRow("0x8180") << 0x8180 << 17 << list8080 << QStringList{"OBDPWM"} << QStringList{};
    const QStringList list5100 = {"10/11Corvet", "Bosch",  "OBD2Q",   "OBD2S",
                                  "OBD2P",       "Delphi", "Delphi1", "Uni."};
    QTest::newRow("0x5100 CAN rows need HasCan")
        << 0x5100 << 8 << list5100 << QStringList{} << QStringList{"CAN", "J1939", "BRP"};
    QTest::newRow("0x8000") << 0x8000 << 84 << QStringList{"M74CAN", "M74.8", "M86"}
                            << QStringList{"74L", "86L", "Uni."} << QStringList{"Bosch", "OBD2E"};
    QTest::newRow("0x8001") << 0x8001 << 84 << QStringList{"M74CAN", "M74.8", "M86"}
                            << QStringList{"74L", "86L", "Uni."} << QStringList{};
    QTest::newRow("0x8200") << 0x8200 << 83 << QStringList{"M74CAN", "M86"}
                            << QStringList{"74L", "86L", "Uni."} << QStringList{"M74.8"};
    QTest::newRow("0x4800 Toyota, no M74.8")
        << 0x4800 << 36 << QStringList{"M74CAN", "M86"} << QStringList{} << QStringList{"M74.8", "OBD2E"};
    QTest::newRow("0x5000") << 0x5000 << 11 << QStringList{"10/11Corvet", "Jan", "Delphi", "Yamaha"}
                            << QStringList{"Hidea", "Carb.", "Uni."} << QStringList{};
}

void TestProts::modelLists() {
    QFETCH(int, model);
    QFETCH(int, count);
    QFETCH(QStringList, head);
    QFETCH(QStringList, tail);
    QFETCH(QStringList, absent);
    Build(uint16_t(model), true);
    const QStringList names = Names(Prots());
    QCOMPARE(names.size(), count);
    QCOMPARE(names.mid(0, head.size()), head);
    QCOMPARE(names.mid(names.size() - tail.size()), tail);
    for (const QString &name : absent)
        QVERIFY2(!names.contains(name), qPrintable(name));
}

void TestProts::lists8000And8200() {
    Build(0x8000, false);
    QStringList a = Names(Prots());
    Build(0x8001, false);
    QCOMPARE(Names(Prots()), a);
    Build(0x8200, false);
    QVERIFY(a.removeOne(QStringLiteral("M74.8")));
    QCOMPARE(Names(Prots()), a);
}

void TestProts::unitsClearedBetweenBuilds() {
    Build(0x8000, true);
    for (int u = 153; u <= 169; ++u)
        QVERIFY(Prots().UnitAvailable[size_t(u)]);
    Build(0x4000, true);
    std::set<int> expected;
    for (const auto &e : Prots().ProtocolList)
        for (uint8_t u : e->UnitList())
            expected.insert(u);
    QCOMPARE(expected,
             (std::set<int>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 26, 67, 68}));
    for (int u = 0; u <= TProtCatalogue::UnitLast; ++u)
        QVERIFY2(Prots().UnitAvailable[size_t(u)] == bool(expected.count(u)), qPrintable(QString::number(u)));
}

void TestProts::capsClearedBetweenBuilds() {
    Build(0x5000, true);
    QVERIFY(Prots().Caps.PowerReserveTerms && Prots().Caps.HasTrim && Prots().Caps.NoParktronic);
    Build(0x4000, true);
    QVERIFY(!Prots().Caps.PowerReserveTerms && !Prots().Caps.HasTrim && !Prots().Caps.NoParktronic);
    QCOMPARE(Prots().Caps.ToSet(), FindDeviceModel(0x4000)->All());
}

void TestProts::conditionalCodes_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<std::vector<uint8_t>>("tail");
    QTest::newRow("0x5000 power reserve, trim") << 0x5000 << std::vector<uint8_t>{65, 62};
    QTest::newRow("0x5100 accelerometer") << 0x5100 << std::vector<uint8_t>{55, 56};
    QTest::newRow("0x5200 power reserve, accelerometer") << 0x5200 << std::vector<uint8_t>{65, 55, 56};
    QTest::newRow("0x5800 all three") << 0x5800 << std::vector<uint8_t>{65, 62, 55, 56};
}

void TestProts::conditionalCodes() {
    QFETCH(int, model);
    QFETCH(std::vector<uint8_t>, tail);
    Build(uint16_t(model), true);
    QVERIFY(Prots().Count() > 0);
    for (const auto &e : Prots().ProtocolList) {
        const std::vector<uint8_t> disp = Vec(e->DispList());
        QVERIFY2(disp.size() >= tail.size() + 16, qPrintable(e->Name));
        QCOMPARE(std::vector<uint8_t>(disp.end() - std::ptrdiff_t(tail.size()), disp.end()), tail);
        QCOMPARE(std::vector<uint8_t>(disp.begin(), disp.begin() + 16), Range(1, 16));
    }
}

void TestProts::conditionalCodeOrder() {
    // No model sets all of them; the order is still fixed: 65, 34, 40, 62, 55, 56.
    TProtCatalogue c;
    c.Caps.PowerReserveTerms = c.Caps.HasLowBeamControl = c.Caps.HasUniInput = c.Caps.HasTrim =
        c.Caps.HasAccelerometer = true;
    const uint8_t extra[] = {17, 0, 18};
    const uint8_t units[] = {0, 8, 200};
    TProtBase e(c, QStringLiteral("x"), 1, 0, extra, units);
    QCOMPARE(Vec(e.DispList()), Cat(Range(1, 16), {17, 18, 65, 34, 40, 62, 55, 56}));
    // Units are copied as given, 0 included; only 8 … 169 are marked.
    QCOMPARE(Vec(e.UnitList()), (std::vector<uint8_t>{0, 8, 200}));
    QVERIFY(c.UnitAvailable[8]);
    QCOMPARE(std::count(c.UnitAvailable.begin(), c.UnitAvailable.end(), true), 1);

    // The air temperature input suppresses 34.
    c.Caps = TDeviceCaps();
    c.Caps.HasLowBeamControl = c.Caps.NoAirTemperature = true;
    TProtBase f(c, QStringLiteral("y"), 2, 0, {}, {});
    QCOMPARE(Vec(f.DispList()), Range(1, 16));
}

void TestProts::carbAndUni_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("Carb. en") << true << 254 << "Carb.";
    QTest::newRow("Carb. ru") << false << 254 << "Карб.";
    QTest::newRow("Uni. en") << true << 255 << "Uni.";
    QTest::newRow("Uni. ru") << false << 255 << "Универс.";
}

void TestProts::carbAndUni() {
    QFETCH(bool, english);
    QFETCH(int, kind);
    QFETCH(QString, name);
    Build(0x5000, english);
    const TProtBase *e = ByKind(Prots(), kind);
    QVERIFY(e);
    QCOMPARE(e->Name, name);
    QCOMPARE(Vec(e->DispList()), Cat(Range(1, 16), {65, 62}));
    QCOMPARE(e->UnitCount, 0);
    QCOMPARE(e->FaultFormat, TProtBase::FaultFormatNone);
    QVERIFY(!e->HasCoolantTemp && !e->HasFaults);
    for (int k = 0; k < OptSlotCount; ++k)
        QVERIFY(!e->OptUsed(k));
}

void TestProts::options_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("Honda order") << 0x8000 << true << 151 << int(Add1) << "Type" << QStringList{"2", "1"};
    QTest::newRow("Honda ru") << 0x8000 << false << 151 << int(Add1) << "Тип" << QStringList{"2", "1"};
    QTest::newRow("Sonata Main") << 0x8000 << true << 62 << int(Main) << "Type" << QStringList{"1", "2"};
    QTest::newRow("OBD2Q Main ru") << 0x8000 << false << 103 << int(Main) << "Тип ОБД"
                                   << QStringList{"Авто", "1", "2", "3", "4", "5"};
    QTest::newRow("OBD2Q Add2") << 0x8000 << true << 103 << int(Add2) << "Expense calculation"
                                << QStringList{"1", "Cruis"};
    QTest::newRow("CAN Add2 ru") << 0x8000 << false << 1 << int(Add2) << "Расчет расхода"
                                 << QStringList{"1", "2", "Круиз", "4", "5D", "DustD"};
    QTest::newRow("CAN Add1") << 0x8000 << true << 1 << int(Add1) << "CAN req/sec" << QStringList{"4", "1"};
    QTest::newRow("CAN Toyota T2 ru") << 0x8000 << false << 12 << int(Add4) << "Темп. масла АКПП"
                                      << QStringList{"Нет", "Toy1", "Toy2", "Toy3", "Toy4", "U660E"};
    QTest::newRow("M74CAN Add4") << 0x8000 << true << 11 << int(Add4) << "AT oil temper."
                                 << QStringList{"No", "Jatco", "ZF 2180", "Niss5"};
    QTest::newRow("TOBD1 Add2 ru") << 0x8000 << false << 27 << int(Add2) << "Вариант ТОЖ"
                                   << QStringList{"с 92", "до 92"};
    QTest::newRow("TOBD1 Add3 ru") << 0x8000 << false << 27 << int(Add3) << "Вариант ШД"
                                   << QStringList{"ШД", "ЭМК"};
    QTest::newRow("Subaru Add3 ru") << 0x8000 << false << 64 << int(Add3) << "Тип ДК2"
                                    << QStringList{"Lambda", "O2 Пер"};
    QTest::newRow("Mitsu 4 Add1 ru") << 0x8000 << false << 139 << int(Add1) << "Тип двигателя"
                                     << QStringList{"Бензин", "Дизель"};
    QTest::newRow("Mitsu 1 Add3") << 0x8000 << true << 116 << int(Add3) << "T Cool/InAir var."
                                  << QStringList{"1", "2"};
    QTest::newRow("SsYong диз Main") << 0x8000 << true << 132 << int(Main) << "Protocol type"
                                     << QStringList{"K20E3", "K20E4", "R27E3", "R27E4", "R27  "};
    QTest::newRow("Toyota Add4 ru") << 0x8000 << false << 111 << int(Add4) << "Темп. масла АКПП"
                                    << QStringList{"Нет", "Да"};
    QTest::newRow("M74.8 Add1") << 0x8000 << true << 7 << int(Add1) << "Fan control channel"
                                << QStringList{"1", "2", "1+2", "3", "4"};
}

void TestProts::options() {
    QFETCH(int, model);
    QFETCH(bool, english);
    QFETCH(int, kind);
    QFETCH(int, slot);
    QFETCH(QString, caption);
    QFETCH(QStringList, values);
    Build(uint16_t(model), english);
    const TProtBase *e = ByKind(Prots(), kind);
    QVERIFY(e);
    QCOMPARE(e->OptCaption[size_t(slot)], caption);
    QCOMPARE(e->OptCount[size_t(slot)], int(values.size()));
    QCOMPARE(e->OptShown(slot), values);
}

void TestProts::defaultValueTexts() {
    Build(0x8000, false);
    // The full transmission list of AddAtVariants.
    const TProtBase *can = ByKind(Prots(), 1);
    QVERIFY(can && can->HasAtOilTemp);
    QCOMPARE(can->OptCount[Add4], 51);
    QCOMPARE(can->OptValues[Add4].size(), 61);
    QCOMPARE(can->OptValues[Add4][0], QStringLiteral("Нет"));
    QCOMPARE(can->OptValues[Add4][7], QStringLiteral("HovH5,St"));
    QCOMPARE(can->OptValues[Add4][29], QStringLiteral("Niss5"));
    QCOMPARE(can->OptValues[Add4][50], QStringLiteral("Suz4"));
    QCOMPARE(can->OptValues[Add4][51], QString());

    // Texts a row does not write keep the defaults.
    const TProtBase *jan = ByKind(Prots(), 41);
    QVERIFY(jan);
    QCOMPARE(jan->OptValues[Main].mid(0, 11),
             (QStringList{"Авто", "1", "2", "3", "4", "5", "6", "7", "8", "9", ""}));
    QCOMPARE(jan->OptValues[Main].size(), 21);
    QCOMPARE(jan->OptValues[Add1].mid(3, 8), (QStringList{"3", "5", "6", "7", "8", "9", "10", ""}));
    QCOMPARE(jan->OptValues[Add4].mid(0, 14),
             (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", ""}));
    QCOMPARE(jan->OptValues[Add7].size(), 21);
    QCOMPARE(jan->OptCount[Main], 0);
    QVERIFY(!jan->OptUsed(Main));

    const TProtBase *m74can = ByKind(Prots(), 11);
    QCOMPARE(m74can->OptValues[Add4][4], QStringLiteral("5"));

    TLangScope en(true);
    Prots().BuildProtocolList(0x4000, 0, 0);
    QCOMPARE(Prots().At(0).OptValues[Main][0], QStringLiteral("Auto"));
}

void TestProts::flagDependentRows_data() {
    QTest::addColumn<QStringList>("caps");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::vector<uint8_t>>("extra");
    QTest::addColumn<std::vector<uint8_t>>("units");
    QTest::addColumn<bool>("oilTemps");
    QTest::newRow("J1939 with retarder")
        << QStringList{"HasCan", "OfferJ1939", "HasRetarder"} << 14 << "J1939"
        << std::vector<uint8_t>{17, 19, 27, 24, 37, 35, 38, 41, 42, 36, 43}
        << std::vector<uint8_t>{93, 22, 23} << true;
    QTest::newRow("J1939 without") << QStringList{"HasCan", "OfferJ1939"} << 14 << "J1939"
                                   << std::vector<uint8_t>{17, 19, 27, 24, 37} << std::vector<uint8_t>{22, 23}
                                   << false;
    QTest::newRow("Consult with CAN")
        << QStringList{"HasCan", "OfferConsult"} << 141 << "Consult1"
        << std::vector<uint8_t>{17, 20, 28, 21, 22, 24, 25, 19} << std::vector<uint8_t>{45} << false;
    QTest::newRow("Consult without") << QStringList{"OfferConsult"} << 142 << "Consult1D"
                                     << std::vector<uint8_t>{17, 20, 28, 24, 19} << std::vector<uint8_t>{}
                                     << false;
    QTest::newRow("Bosch with Delphi")
        << QStringList{"OfferBoschTiggo", "OfferDelphi"} << 63 << "Bosch"
        << std::vector<uint8_t>{17, 20, 21, 22, 19, 24} << std::vector<uint8_t>{} << false;
    QTest::newRow("Tiggo") << QStringList{"OfferBoschTiggo"} << 63 << "Tiggo"
                           << std::vector<uint8_t>{17, 20, 21, 22, 19, 24} << std::vector<uint8_t>{} << false;
}

void TestProts::flagDependentRows() {
    QFETCH(QStringList, caps);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(std::vector<uint8_t>, extra);
    QFETCH(std::vector<uint8_t>, units);
    QFETCH(bool, oilTemps);
    TLangScope en(true);
    TProtCatalogue c;
    for (const QString &cap : caps) {
        const auto flag = CapByName(cap.toStdString());
        QVERIFY(flag);
        c.Caps = TDeviceCaps::From(c.Caps.ToSet() | TCapSet{*flag});
    }
    c.BuildEntries();
    QVERIFY(c.CurrentProtocol == nullptr);
    const TProtBase *e = ByKind(c, kind);
    QVERIFY(e);
    QCOMPARE(std::count_if(c.ProtocolList.begin(), c.ProtocolList.end(),
                           [&](const auto &p) { return p->Kind == kind; }),
             1);
    QCOMPARE(e->Name, name);
    std::vector<uint8_t> disp = Range(1, 16);
    disp.insert(disp.end(), extra.begin(), extra.end());
    QCOMPARE(Vec(e->DispList()), disp);
    QCOMPARE(Vec(e->UnitList()), units);
    if (kind == 14) {
        QCOMPARE(e->HasAtOilTemp, oilTemps);
        QCOMPARE(e->HasEngineOilTemp, oilTemps);
        QVERIFY(e->HasBatteryVoltage);
        QCOMPARE(e->EcuTankSensors, 1);
        QCOMPARE(e->FaultFormat, 5);
    }
}

void TestProts::canOnlyRows() {
    // Models with OfferNmea2000 or OfferBrp lack HasCan; the rows still need it.
    for (uint16_t model : {0x5100, 0x5200, 0x5800}) {
        Build(model, true);
        QVERIFY(!ByKind(Prots(), 19) && !ByKind(Prots(), 20) && !ByKind(Prots(), 14) && !ByKind(Prots(), 1));
    }
    TLangScope ru(false);
    TProtCatalogue c;
    c.Caps = TDeviceCaps::From({Cap::HasCan, Cap::OfferNmea2000, Cap::OfferBrp});
    c.BuildEntries();
    QCOMPARE(Names(c), (QStringList{"NMEA2000", "BRP"}));
    const TProtBase &nmea = *c.ProtocolList[0];
    QCOMPARE(nmea.OptCaption[Add1], QStringLiteral("Двигатель"));
    QCOMPARE(nmea.OptShown(Add1), (QStringList{"Все", "0", "1", "2", "3", "4"}));
    QCOMPARE(Vec(nmea.DispList()), Cat(Range(1, 16), {17, 27, 37, 35, 38, 41, 42}));
    QVERIFY(nmea.HasEngineOilTemp && nmea.HasBatteryVoltage && nmea.HasTrimInfo);
    QCOMPARE(nmea.EcuTankSensors, 1);
    QCOMPARE(nmea.FaultFormat, 5);
}

void TestProts::listError_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("count");
    QTest::newRow("0x4000 has five") << 0x4000 << 5 << 5;
    QTest::newRow("0x4000 far beyond") << 0x4000 << 255 << 5;
    QTest::newRow("unknown model") << 0x1234 << 0 << 0;
}

void TestProts::listError() {
    QFETCH(int, model);
    QFETCH(int, protocol);
    QFETCH(int, count);
    try {
        Prots().BuildProtocolList(uint16_t(model), uint8_t(protocol), 0);
        QFAIL("no list error");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("List index out of bounds (%1)").arg(protocol));
    }
    // The build itself stays.
    QCOMPARE(Prots().Count(), count);
    QVERIFY(Prots().CurrentProtocol == nullptr);
    const TDeviceModel *m = FindDeviceModel(uint16_t(model));
    QCOMPARE(Prots().DeviceModelName, m ? QString::fromUtf8(m->Name) : QString());
    QCOMPARE(Prots().Caps.ToSet(), m ? m->All() : TCapSet{});
}

void TestProts::selectProtocol() {
    Build(0x4000, true, 4);
    QCOMPARE(Prots().CurrentProtocol->Name, QStringLiteral("OBD2E"));
    Prots().SelectProtocol(2);
    QCOMPARE(Prots().CurrentProtocol->Name, QStringLiteral("Bosch M7.9.7"));
    QVERIFY_THROWS_EXCEPTION(Error, Prots().SelectProtocol(5));
    QVERIFY_THROWS_EXCEPTION(Error, Prots().SelectProtocol(-1));
    QCOMPARE(Prots().CurrentProtocol->Name, QStringLiteral("Bosch M7.9.7"));
}

void TestProts::codeLimit() {
    TProtCatalogue c;
    std::vector<uint8_t> extra(85, 17);
    TProtBase ok(c, QStringLiteral("x"), 1, 0, extra, extra);
    QCOMPARE(ok.DispParamCount, 101);
    QVERIFY_THROWS_EXCEPTION(RangeError, ok.AddDispParam(1));
    QCOMPARE(ok.DispParamCount, 101);
    extra.push_back(18);
    QVERIFY_THROWS_EXCEPTION(RangeError, TProtBase(c, QStringLiteral("y"), 1, 0, extra, {}));
    std::vector<uint8_t> units(102, 9);
    QVERIFY_THROWS_EXCEPTION(RangeError, TProtBase(c, QStringLiteral("z"), 1, 0, {}, units));
}

void TestProts::modelTable() {
    const auto models = DeviceModels();
    QCOMPARE(models.size(), size_t(28));
    std::set<uint16_t> codes;
    for (const TDeviceModel &m : models)
        codes.insert(m.Code);
    QCOMPARE(codes.size(), size_t(28));
    QCOMPARE(QString::fromUtf8(models.front().Name), QStringLiteral("Model 01"));
    QCOMPARE(QString::fromUtf8(models.back().Name), QStringLiteral("Model 28"));
    QVERIFY(!FindDeviceModel(0x4001));
    QVERIFY(!FindDeviceModel(0));

    const TDeviceCaps m17 = TDeviceCaps::From(FindDeviceModel(0x4800)->All());
    QVERIFY(m17.NoParktronic && m17.NoVoice && m17.NoAutoVag && m17.HasSootFilterAlert && m17.OfferToyota);
    QVERIFY(m17.OfferM74Can && !m17.OfferM74_8 && m17.HasCan);
    const TDeviceCaps m26 = TDeviceCaps::From(FindDeviceModel(0x8100)->All());
    QVERIFY(!m26.OfferJ1939 && m26.OfferObdPwm && m26.OfferM74_8 && m26.OfferCan);
    const TDeviceCaps m25 = TDeviceCaps::From(FindDeviceModel(0x8080)->All());
    QVERIFY(m25.AltColourDefaults && m25.HasCan && !m25.HasAutoObd);
    // The Caps column never holds an entry-selecting flag, and the Offers column only those.
    for (const TDeviceModel &m : models)
        for (int c = 0; c < Cap::Count; ++c) {
            if (m.Caps.Has(Cap::TCap(c))) QVERIFY(!IsEntrySelecting(Cap::TCap(c)));
            if (m.Offers.Has(Cap::TCap(c))) QVERIFY(IsEntrySelecting(Cap::TCap(c)));
        }
}

void TestProts::capNames() {
    QCOMPARE(int(Cap::Count), 101);
    std::set<std::string> names;
    for (int c = 0; c < Cap::Count; ++c) {
        const char *name = CapName(Cap::TCap(c));
        names.insert(name);
        QCOMPARE(CapByName(name), std::optional<Cap::TCap>(Cap::TCap(c)));
        TDeviceCaps caps = TDeviceCaps::From(TCapSet{Cap::TCap(c)});
        QVERIFY(caps.Get(Cap::TCap(c)));
        QCOMPARE(caps.ToSet(), TCapSet{Cap::TCap(c)});
    }
    QCOMPARE(names.size(), size_t(Cap::Count));
    QVERIFY(!CapByName("NoSuchFlag"));
    QVERIFY(IsEntrySelecting(Cap::HasCan) && IsEntrySelecting(Cap::OfferJan) &&
            !IsEntrySelecting(Cap::HasCarburettor));
    QCOMPARE(QString::fromLatin1(CapName(Cap::OfferBoschM7_9_7)), QStringLiteral("OfferBoschM7_9_7"));
}

void TestProts::everyModelInvariants() {
    std::map<int, QSet<QString>> namesByKind;
    for (bool english : {true, false}) {
        for (const TDeviceModel &m : DeviceModels()) {
            const QString where = QStringLiteral("model 0x%1").arg(m.Code, 0, 16);
            Build(m.Code, english);
            const TProtCatalogue &c = Prots();
            QVERIFY2(c.Count() > 0, qPrintable(where));
            QCOMPARE(c.DeviceModelName, QString::fromUtf8(m.Name));
            QCOMPARE(c.Caps.ToSet(), m.All());
            const TMeasParList params = BuildMeasParSet(c.Caps);
            std::set<int> kinds;
            std::array<bool, TProtCatalogue::UnitLast + 1> units{};
            for (const auto &e : c.ProtocolList) {
                const QString entry = where + QLatin1Char(' ') + e->Name;
                QVERIFY2(kinds.insert(e->Kind).second, qPrintable(entry));
                if (english) namesByKind[e->Kind].insert(e->Name);
                QVERIFY(!e->Name.isEmpty());
                QVERIFY(e->DispParamCount <= TProtBase::MaxCodes && e->UnitCount <= TProtBase::MaxCodes);
                for (uint8_t d : e->DispList()) {
                    QVERIFY2(d >= 1 && d <= 65, qPrintable(entry));
                    QVERIFY2(d == 40 || FindMeasPar(params, d), qPrintable(entry + QString::number(d)));
                }
                for (uint8_t u : e->UnitList()) {
                    QVERIFY2(u >= TProtCatalogue::UnitFirst && u <= TProtCatalogue::UnitLast,
                             qPrintable(entry));
                    units[u] = true;
                }
                const std::set<uint8_t> distinct(e->DispList().begin(), e->DispList().end());
                QVERIFY2(distinct.size() == size_t(e->DispParamCount), qPrintable(entry));
                for (int k = 0; k < OptSlotCount; ++k) {
                    QVERIFY(e->OptCount[size_t(k)] <= e->OptValues[size_t(k)].size());
                    QCOMPARE(e->OptUsed(k), e->OptCount[size_t(k)] > 0);
                    for (const QString &v : e->OptShown(k))
                        QVERIFY2(!v.isEmpty(), qPrintable(entry));
                }
                QVERIFY(e->EcuTankSensors >= 0 && e->EcuTankSensors <= 3);
                static const std::set<int> formats = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 1000};
                QVERIFY(formats.count(e->FaultFormat));
            }
            QVERIFY2(units == c.UnitAvailable, qPrintable(where));
        }
    }
    // A kind names one protocol wherever it is offered; 63 is "Bosch" or "Tiggo" by model.
    for (const auto &[kind, names] : namesByKind)
        QVERIFY2(names.size() == 1 || (kind == 63 && names == QSet<QString>{"Bosch", "Tiggo"}),
                 qPrintable(QString::number(kind)));
    QVERIFY(namesByKind.count(223) && namesByKind.count(152)); // marine and car "Suzuki"
}

QTEST_GUILESS_MAIN(TestProts)
#include "tst_ProtsH.moc"
