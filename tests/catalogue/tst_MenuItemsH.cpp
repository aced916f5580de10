// Device menu items: the device's numbering with reserved and shifting items,
// captions by language, and the two look-ups.

#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "model/MenuItemsH.h"

#include <QTest>
#include <set>

Q_DECLARE_METATYPE(TDeviceCaps)

namespace {

// Every item present, voice available.
TDeviceCaps AllCaps() {
    TDeviceCaps caps;
    caps.OfferMikas = true;
    caps.NoAirTemperature = caps.HasLowBeamControl = true;
    return caps;
}

TDeviceCaps With(TDeviceCaps caps, Cap::TCap flag) {
    return TDeviceCaps::From(caps.ToSet() | TCapSet{flag});
}

void BuildFor(const TDeviceCaps &caps, bool english = true) {
    TLangScope lang(english);
    MenuItems() = MakeMenuItems(caps);
}

int NumberOf(const char *name) {
    const TMKMenuItem *item = FindMenuItemByName(QString::fromLatin1(name));
    return item ? item->Number : -1;
}

} // namespace

class TestMenuItems : public QObject {
    Q_OBJECT

private slots:
    void numbers_data();
    void numbers();
    void lastItem_data();
    void lastItem();
    void captions_data();
    void captions();
    void rebuildAndLanguage();
    void lookups();
    void globalBuildFollowsCatalogue();
    void everyModel();
};

void TestMenuItems::numbers_data() {
    QTest::addColumn<TDeviceCaps>("caps");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number"); // -1: absent

    const TDeviceCaps all = AllCaps();
    const struct {
        const char *name;
        int number;
    } listed[] = {{"VirtLockMenu", 1},
                  {"CorrUOZMenu", 9},
                  {"Vel100Menu", 20},
                  {"AlarmPermJournMenu", 24},
                  {"SoundVolumeMenu", 25},
                  {"FlagSoundMenu", 26},
                  {"SayParamPeriodMenu", 27},
                  {"apVelMenu", 28},
                  {"LightsOnMenu", 32},
                  {"apLiqTempReadyMenu", 40},
                  {"InitTripParamsMenu", 41},
                  {"TripJournMenu", 47},
                  {"WriteTrip1Menu", 50},
                  {"WriteTrip20Menu", 69},
                  {"ViewTripMenu", 70},
                  {"ViewTrip0Menu", 71},
                  {"ViewTrip20Menu", 91},
                  {"TankJournMenu", 92},
                  {"ViewTank0Menu", 93},
                  {"ViewTank20Menu", 113},
                  {"ParkOffMenu", 141},
                  {"ParkSpeedMenu_1", 150},
                  {"InitResetOnlyGasParamsMenu", 151},
                  {"ErrorsMenu", 154},
                  {"EBUInitMenu", 155},
                  {"InGasTankMenu", 159}};
    for (const auto &l : listed)
        QTest::addRow("all: %s", l.name) << all << QString::fromLatin1(l.name) << l.number;

    // Without voice the two voice items shift everything after them.
    const TDeviceCaps noVoice = With(all, Cap::NoVoice);
    QTest::newRow("NoVoice: SoundVolumeMenu") << noVoice << "SoundVolumeMenu" << -1;
    QTest::newRow("NoVoice: FlagSoundMenu") << noVoice << "FlagSoundMenu" << 25;
    QTest::newRow("NoVoice: SayParamPeriodMenu") << noVoice << "SayParamPeriodMenu" << -1;
    QTest::newRow("NoVoice: apVelMenu") << noVoice << "apVelMenu" << 26;
    QTest::newRow("NoVoice: ViewTank20Menu") << noVoice << "ViewTank20Menu" << 111;
    QTest::newRow("NoVoice: ParkOffMenu") << noVoice << "ParkOffMenu" << 139;
    QTest::newRow("NoVoice: InGasTankMenu") << noVoice << "InGasTankMenu" << 157;
    QTest::newRow("NoVoice: AlarmPermJournMenu fixed") << noVoice << "AlarmPermJournMenu" << 24;

    // Reserved items keep their numbers when absent.
    QTest::newRow("no Mikas: CorrUOZMenu") << TDeviceCaps() << "CorrUOZMenu" << -1;
    QTest::newRow("no Mikas: EBUResetMenu") << TDeviceCaps() << "EBUResetMenu" << 10;
    const TDeviceCaps noAccel = With(all, Cap::NoAccelTimer);
    QTest::newRow("NoAccelTimer: Vel100Menu") << noAccel << "Vel100Menu" << -1;
    QTest::newRow("NoAccelTimer: Vel100DownMenu") << noAccel << "Vel100DownMenu" << -1;
    QTest::newRow("NoAccelTimer: Intense0Menu") << noAccel << "Intense0Menu" << 22;
    const TDeviceCaps noPark = With(all, Cap::NoParktronic);
    QTest::newRow("NoParktronic: ParkOffMenu") << noPark << "ParkOffMenu" << -1;
    QTest::newRow("NoParktronic: ParkSpeedMenu_1") << noPark << "ParkSpeedMenu_1" << -1;
    QTest::newRow("NoParktronic: InitResetOnlyGasParamsMenu")
        << noPark << "InitResetOnlyGasParamsMenu" << 151;
    const TDeviceCaps noGas = With(all, Cap::NoGas);
    QTest::newRow("NoGas: InitResetOnlyGasParamsMenu") << noGas << "InitResetOnlyGasParamsMenu" << -1;
    QTest::newRow("NoGas: ErrorsMenu") << noGas << "ErrorsMenu" << 154;
    QTest::newRow("NoGas: FullGasTankMenu") << noGas << "FullGasTankMenu" << -1;
    const TDeviceCaps noJam = With(all, Cap::NoJamStatistics);
    QTest::newRow("NoJamStatistics: InitStopParamsMenu") << noJam << "InitStopParamsMenu" << -1;
    QTest::newRow("NoJamStatistics: TripMinStopMenu") << noJam << "TripMinStopMenu" << 46;
    const TDeviceCaps noLights = With(all, Cap::NoParkingLightsInput);
    QTest::newRow("NoParkingLightsInput: apGabarMenu") << noLights << "apGabarMenu" << -1;
    QTest::newRow("NoParkingLightsInput: apTankFullMenu") << noLights << "apTankFullMenu" << 36;

    // One number, three outcomes.
    TDeviceCaps holo;
    holo.PowerReserveTerms = true;
    QTest::newRow("apHoloMenu with power reserve") << holo << "apHoloMenu" << 32;
    QTest::newRow("no LightsOnMenu with power reserve") << holo << "LightsOnMenu" << -1;
    QTest::newRow("LightsOnMenu wins over power reserve")
        << With(all, Cap::PowerReserveTerms) << "apHoloMenu" << -1;
    QTest::newRow("neither: apTankMenu") << TDeviceCaps() << "apTankMenu" << 31;
    QTest::newRow("neither: apEconomMenu") << TDeviceCaps() << "apEconomMenu" << 33;
    QTest::newRow("neither: apHoloMenu") << TDeviceCaps() << "apHoloMenu" << -1;
    QTest::newRow("neither: LightsOnMenu") << TDeviceCaps() << "LightsOnMenu" << -1;
}

void TestMenuItems::numbers() {
    QFETCH(TDeviceCaps, caps);
    QFETCH(QString, name);
    QFETCH(int, number);
    BuildFor(caps);
    QCOMPARE(NumberOf(name.toLatin1().constData()), number);
}

void TestMenuItems::lastItem_data() {
    QTest::addColumn<TDeviceCaps>("caps");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("count");
    QTest::newRow("all") << AllCaps() << "InGasTankMenu" << 132;
    QTest::newRow("NoGas") << With(AllCaps(), Cap::NoGas) << "EBUInitMenu" << 127;
    QTest::newRow("NoParktronic") << With(AllCaps(), Cap::NoParktronic) << "InGasTankMenu" << 122;
}

void TestMenuItems::lastItem() {
    QFETCH(TDeviceCaps, caps);
    QFETCH(QString, last);
    QFETCH(int, count);
    BuildFor(caps);
    QCOMPARE(MenuItems().back()->Name, last);
    QCOMPARE(int(MenuItems().size()), count);
}

void TestMenuItems::captions_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("group");
    QTest::newRow("WriteTrip1Menu en") << true << "WriteTrip1Menu"
                                       << "   1     MM:HH DD.MM" << 1;
    QTest::newRow("WriteTrip20Menu ru")
        << false << "WriteTrip20Menu"
        << QStringLiteral(u"  20     \u041C\u041C:\u0427\u0427 \u0414\u0414.\u041C\u041C") << 1;
    QTest::newRow("ViewTank7Menu en") << true << "ViewTank7Menu"
                                      << "   7     MM:HH DD.MM" << 1;
    QTest::newRow("ViewTrip0Menu en") << true << "ViewTrip0Menu"
                                      << "Last     MM:HH DD.MM" << 1;
    // The device's own caption has a Latin "o" here.
    QTest::newRow("ViewTank0Menu ru") << false << "ViewTank0Menu"
                                      << QStringLiteral(u"\u041Fo\u0441.     \u041C\u041C:\u0427\u0427 "
                                                        u"\u0414\u0414.\u041C\u041C")
                                      << 1;
    // And a Latin "C" here.
    QTest::newRow("InitReset1ParamsMenu ru")
        << false << "InitReset1ParamsMenu"
        << QStringLiteral(u"\u0421\u0431\u0440\u043E\u0441 C\u0431\u0440\u043E\u04412") << 1;
    QTest::newRow("TankMethMenu en") << true << "TankMethMenu"
                                     << "Tank type Calculated/FLS/ECU FLS" << 0;
    QTest::newRow("TankMethMenu ru") << false << "TankMethMenu"
                                     << "Бак тип Расчетный/ДУТ/ДУТ ЭБУ" << 0;
    QTest::newRow("ParkForwConstOffMenu ru") << false << "ParkForwConstOffMenu"
                                             << "Режим работы Вкл/Вкл3с/ДвЗад" << 2;
    QTest::newRow("LightsOnMenu ru") << false << "LightsOnMenu"
                                     << "Упр.Бл.Свет" << 0;
    QTest::newRow("InGasTankMenu en") << true << "InGasTankMenu"
                                      << "Now gas l" << 0;
}

void TestMenuItems::captions() {
    QFETCH(bool, english);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, group);
    BuildFor(AllCaps(), english);
    const TMKMenuItem *item = FindMenuItemByName(name);
    QVERIFY(item);
    QCOMPARE(item->Caption, caption);
    QCOMPARE(int(item->Group), group);
}

void TestMenuItems::rebuildAndLanguage() {
    BuildFor(AllCaps(), true);
    std::vector<std::tuple<QString, int, int, QString>> en;
    for (const auto &i : MenuItems())
        en.emplace_back(i->Name, i->Number, i->Group, i->Caption);
    BuildFor(AllCaps(), true);
    QCOMPARE(MenuItems().size(), en.size());
    for (size_t k = 0; k < en.size(); ++k)
        QCOMPARE(std::get<1>(en[k]), int(MenuItems()[k]->Number));
    BuildFor(AllCaps(), false);
    QCOMPARE(MenuItems().size(), en.size());
    int changed = 0;
    for (size_t k = 0; k < en.size(); ++k) {
        const TMKMenuItem &item = *MenuItems()[k];
        QCOMPARE(item.Name, std::get<0>(en[k]));
        QCOMPARE(int(item.Number), std::get<1>(en[k]));
        QCOMPARE(int(item.Group), std::get<2>(en[k]));
        if (item.Caption != std::get<3>(en[k])) ++changed;
    }
    QCOMPARE(changed, int(en.size()));
}

void TestMenuItems::lookups() {
    BuildFor(AllCaps());
    QVERIFY(!FindMenuItemByNumber(0));
    QVERIFY(!FindMenuItemByNumber(114)); // reserved gap
    QVERIFY(!FindMenuItemByNumber(160));
    QCOMPARE(FindMenuItemByNumber(2)->Name, QStringLiteral("FullTankMenu"));
    QCOMPARE(FindMenuItemByNumber(141)->Name, QStringLiteral("ParkOffMenu"));
    QVERIFY(!FindMenuItemByName(QStringLiteral("fulltankmenu")));
    QVERIFY(!FindMenuItemByName(QStringLiteral("FullTank")));
    QVERIFY(!FindMenuItemByName(QString()));
}

void TestMenuItems::globalBuildFollowsCatalogue() {
    Prots().BuildProtocolList(0x4800, 0, 0); // NoParktronic, NoVoice
    BuildMenuItems();
    QVERIFY(!FindMenuItemByName(QStringLiteral("ParkOffMenu")));
    QCOMPARE(NumberOf("FlagSoundMenu"), 25);
    Prots().BuildProtocolList(0x4200, 0, 0); // OfferMikas, lights control
    BuildMenuItems();
    QCOMPARE(NumberOf("CorrUOZMenu"), 9);
    QCOMPARE(NumberOf("LightsOnMenu"), 32);
    QCOMPARE(NumberOf("ParkOffMenu"), 141);
}

void TestMenuItems::everyModel() {
    for (const TDeviceModel &m : DeviceModels()) {
        BuildFor(TDeviceCaps::From(m.All()));
        std::set<int> numbers;
        std::set<QString> names;
        int previous = 0;
        for (const auto &item : MenuItems()) {
            QVERIFY(item->Number > previous);
            previous = item->Number;
            QVERIFY(numbers.insert(item->Number).second);
            QVERIFY(names.insert(item->Name).second);
            QVERIFY(item->Group <= 2);
            QVERIFY(!item->Caption.isEmpty());
            QVERIFY(item->Name.endsWith(QLatin1String("Menu")) ||
                    item->Name.contains(QLatin1String("Menu_")));
        }
        QCOMPARE(NumberOf("AlarmPermJournMenu"), 24);
    }
}

QTEST_GUILESS_MAIN(TestMenuItems)
#include "tst_MenuItemsH.moc"
