// The settings image and the catalogue: construction for the default model, hot menu
// defaults, the parameter list, and the editing procedure's rebuild.

#include "TestEnv.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "model/MK.h"
#include "model/MenuItemsH.h"

#include <QTest>

namespace {

QList<int> HotPage(const TMK &mk, int page) {
    QList<int> numbers;
    for (int i = 0; i < 10; ++i)
        numbers << int(mk.Get("HotMenu", page * 10 + i));
    return numbers;
}

QList<int> Numbers(std::initializer_list<const char *> names) {
    QList<int> numbers;
    for (const char *name : names) {
        const TMKMenuItem *item = FindMenuItemByName(QString::fromLatin1(name));
        numbers << (item ? int(item->Number) : -1);
    }
    while (numbers.size() < 10)
        numbers << 0;
    return numbers;
}

// An image of the device's layout whose working fields are loaded.
void LoadSample(TMK &mk) {
    mk.Image.Clear();
    mk.Image.Append(TestEnv::SampleImage());
    mk.LoadAllSections();
}

void StoreProtocol(TMK &mk, int protocol) {
    mk.Set("ProtocolIndex", protocol);
    mk.StoreSection(10);
}

} // namespace

class TestMKCatalogue : public QObject {
    Q_OBJECT

private slots:
    void constructorSetsDefaultModel();
    void hotMenuDefaults();
    void hotMenuWithoutParktronic();
    void parameterList_data();
    void parameterList();
    void editRebuildsForImageModel();
    void editListErrorOpensNoEditor();
    void editRejectsProtocolAbove255();
    void colourSchemeVariant();
};

void TestMKCatalogue::constructorSetsDefaultModel() {
    Prots().BuildProtocolList(0x5000, 0, 0); // an earlier model must not leak into a new image
    TLangScope ru(false);
    TMK mk;
    QCOMPARE(mk.ModelCode, uint16_t(0x4000));
    QCOMPARE(Prots().DeviceModelName, QStringLiteral("Model 01"));
    QCOMPARE(Prots().CurrentProtocol->Name, QStringLiteral("Январь"));
    QCOMPARE(int(mk.Parameters.size()), 63);
    QCOMPARE(mk.FindParameter(9)->Name, QStringLiteral("Прогноз проб"));
    QCOMPARE(mk.FindParameter(11)->ClassName, QStringLiteral("TTemperAir"));
    QVERIFY(!mk.FindParameter(34));
    QVERIFY(!mk.FindParameter(40));
    QCOMPARE(FindMenuItemByName(QStringLiteral("FlagSoundMenu"))->Number, 25); // NoVoice
    QCOMPARE(MenuItems().back()->Name, QStringLiteral("EBUInitMenu"));         // NoGas
}

void TestMKCatalogue::hotMenuDefaults() {
    TMK mk;
    QCOMPARE(HotPage(mk, 0), Numbers({"FullTankMenu", "ToTankMenu", "ErrorsMenu", "FlagSoundMenu",
                                      "VelocityLimitMenu", "PrognozMenu", "ExpenseHHMenu"}));
    QCOMPARE(HotPage(mk, 0).mid(0, 7), (QList<int>{2, 3, 152, 25, 15, 6, 8}));
    QCOMPARE(HotPage(mk, 1), Numbers({"TripJournMenu", "InitReset0ParamsMenu", "InitReset1ParamsMenu",
                                      "ContinueTripMenu", "TankJournMenu"}));
    QCOMPARE(HotPage(mk, 2), Numbers({"ParkOffMenu", "ParkSenseMenu_0", "ParkSpeedMenu_0", "ParkBeepTypeMenu",
                                      "ParkAlwaysOnMenu"}));
    QCOMPARE(HotPage(mk, 2).mid(0, 5), (QList<int>{139, 141, 142, 143, 144}));
    QCOMPARE(HotPage(mk, 3), QList<int>(10, 0));
}

void TestMKCatalogue::hotMenuWithoutParktronic() {
    TMK mk;
    for (int i = 0; i < 40; ++i)
        mk.Set("HotMenu", 999, i);
    Prots().BuildProtocolList(0x4800, 0, 0);
    BuildMenuItems();
    mk.FillHotMenuDefaults();
    QCOMPARE(HotPage(mk, 2), QList<int>(10, 0));
    QCOMPARE(HotPage(mk, 3), QList<int>(10, 0));
    QCOMPARE(HotPage(mk, 0)[3], FindMenuItemByName(QStringLiteral("FlagSoundMenu"))->Number);
}

void TestMKCatalogue::parameterList_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("code11");
    QTest::addColumn<bool>("has34");
    QTest::addColumn<QString>("prognoz");
    QTest::newRow("0x4000") << 0x4000 << "TTemperAir" << false << "Mileage progn";
    QTest::newRow("0x4010 lights flag in 11") << 0x4010 << "TLightsFlag" << false << "Mileage progn";
    QTest::newRow("0x5000 power reserve") << 0x5000 << "TTemperAir" << false << "Power res.";
    QTest::newRow("0x5100 no air temperature only") << 0x5100 << "TTemperAir" << false << "Mileage progn";
}

void TestMKCatalogue::parameterList() {
    QFETCH(int, model);
    QFETCH(QString, code11);
    QFETCH(bool, has34);
    QFETCH(QString, prognoz);
    TLangScope en(true);
    TMK mk;
    Prots().BuildProtocolList(uint16_t(model), 0, 0);
    mk.BuildParameterList();
    QCOMPARE(mk.FindParameter(11)->ClassName, code11);
    QCOMPARE(mk.FindParameter(34) != nullptr, has34);
    QCOMPARE(mk.FindParameter(9)->Name, prognoz);
    QCOMPARE(mk.FindParameter(12), mk.Parameters.front().get());
}

void TestMKCatalogue::editRebuildsForImageModel() {
    TLangScope en(true);
    TMK mk;
    LoadSample(mk);
    StoreProtocol(mk, 3);
    mk.ModelCode = 0x5000;
    const QByteArray image = mk.Image.Bytes();
    // Seen while the editor would be open: the catalogue, the parameters and the
    // menu items all follow the image's model.
    bool shown = false;
    QString model, prognoz;
    const TProtBase *current = nullptr;
    bool holo = false, vel100 = true;
    const bool ok = mk.EditSettings([&]() -> bool {
        shown = true;
        model = Prots().DeviceModelName;
        current = Prots().CurrentProtocol;
        prognoz = mk.FindParameter(9)->Name;
        holo = FindMenuItemByName(QStringLiteral("apHoloMenu"));
        vel100 = FindMenuItemByName(QStringLiteral("Vel100Menu"));
        return false;
    });
    QVERIFY(shown);
    QVERIFY(!ok);
    QCOMPARE(model, QStringLiteral("Model 19"));
    QCOMPARE(current, &Prots().At(3));
    QCOMPARE(prognoz, QStringLiteral("Power res."));
    QVERIFY(holo);
    QVERIFY(!vel100);
    QCOMPARE(mk.Image.Bytes(), image);
}

void TestMKCatalogue::editListErrorOpensNoEditor() {
    TMK mk;
    LoadSample(mk);
    StoreProtocol(mk, 5); // 0x4000 offers five
    const QByteArray image = mk.Image.Bytes();
    bool shown = false;
    try {
        mk.EditSettings([&] { return shown = true; });
        QFAIL("no list error");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("List index out of bounds (5)"));
    }
    QVERIFY(!shown);
    QCOMPARE(mk.Image.Bytes(), image);
}

void TestMKCatalogue::editRejectsProtocolAbove255() {
    TMK mk;
    LoadSample(mk);
    StoreProtocol(mk, 256);
    bool shown = false;
    QVERIFY_THROWS_EXCEPTION(RangeError, mk.EditSettings([&] { return shown = true; }));
    QVERIFY(!shown);
}

void TestMKCatalogue::colourSchemeVariant() {
    TMK mk;
    const TColourScheme normalDay = mk.DefaultDayScheme;
    const TColourScheme normalNight = mk.DefaultNightScheme;
    QCOMPARE(int(normalDay[32]), 15);
    Prots().BuildProtocolList(0x8080, 0, 0);
    mk.SetDefaultColourSchemes();
    QCOMPARE(int(mk.DefaultDayScheme[32]), 10);
    QVERIFY(mk.DefaultNightScheme != normalNight);
    Prots().BuildProtocolList(0x4000, 0, 0);
    mk.SetDefaultColourSchemes();
    QVERIFY(mk.DefaultDayScheme == normalDay);
    QVERIFY(mk.DefaultNightScheme == normalNight);
}

QTEST_GUILESS_MAIN(TestMKCatalogue)
#include "tst_MKCatalogue.moc"
