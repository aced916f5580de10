// The settings editor as the user meets it: opened through the editing procedure,
// controls found by name, edits made with the keyboard and the mouse.

#include "app/MainForm.h"
#include "base/Bytes.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/EditorPage.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/Widgets.h"
#include "model/MK.h"
#include "model/SettingsFile.h"
#include "EditorSession.h"
#include "FakePrompts.h"
#include "SimDevice.h"
#include "TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

using TPredicateOn = std::function<bool(const TProtBase &)>;

namespace {

// The position of the first entry of the model's list that satisfies pred.
int FindProtocol(uint16_t model, const TPredicateOn &pred) {
    Prots().BuildProtocolList(model, 0, 0);
    for (int i = 0; i < Prots().Count(); ++i)
        if (pred(*Prots().ProtocolList[size_t(i)])) return i;
    return -1;
}

TPredicateOn Named(const char *name) {
    return [name](const TProtBase &p) { return p.Name == QString::fromUtf8(name); };
}

// A device image whose uninterpreted bytes are noise and whose settings are valid.
void FillRealisticImage(TMK &mk, uint16_t model, int protocol) {
    QRandomGenerator rng(42);
    mk.ModelCode = model;
    mk.Image.Clear();
    mk.Image.Append(TestEnv::SampleImage());
    mk.LoadAllSections();
    for (uint8_t &b : mk.Working()) b = uint8_t(rng.bounded(256));
    TMK defaults;
    std::copy(defaults.Working().begin(), defaults.Working().end(), mk.Working().begin());
    // Noise where nothing is interpreted, defaults elsewhere.
    std::vector<bool> named(MKLayout::WorkingSize, false);
    for (const TFieldDesc &f : MKLayout::Fields())
        for (int i = 0; i < f.ByteSize(); ++i) named[size_t(MKLayout::WorkingOffset(f) + i)] = true;
    for (int i = 0; i < MKLayout::WorkingSize; ++i)
        if (!named[size_t(i)]) mk.Working()[size_t(i)] = uint8_t(rng.bounded(256));
    mk.Set("ProtocolIndex", protocol);
    mk.Set("ProtocolIndex2", protocol);
    // The default trim limits (0 and 0) cross: the editor would raise the high one.
    mk.Set("TrimLowLimit", 10);
    mk.Set("TrimHighLimit", 60);
    for (int k = 1; k <= 11; ++k) mk.StoreSection(k);
}

// Showing the editor unchecks the x1 boxes past the protocol's displayable parameters,
// which clears their mask bits: an image without such bits comes back unchanged.
void ClearX1BitsPastProtocol(TMK &mk) {
    Prots().BuildProtocolList(mk.ModelCode, uint8_t(mk.Get("ProtocolIndex")), 0);
    for (int n = Prots().CurrentProtocol->DispParamCount; n < 40; ++n) mk.SetBit("ShowDisp1", n % 32, false, n / 32);
    mk.StoreSection(9);
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void structure_data();
    void structure();
    void correctionFactorsShowPercent_data();
    void correctionFactorsShowPercent();
    void velocityLimitStepsByTwo();
    void tankCompensationIsInverted();
    void startLevelStoresFour_data();
    void startLevelStoresFour();
    void protocolChangeZeroesVariants();
    void trimBoundsFollowEachOther();
    void speedSourceNeedsVirtualLock();
    void visibility_data();
    void visibility();
    void protocolVariantSlots();
    void nothingIsCutOff_data();
    void nothingIsCutOff();
    void okWithoutTouchingKeepsTheImage();
    void okOnTheSimulatedDeviceImage();
    void cancelPutsEverythingBack();
    void okStoresTheFocusedEdit();
    void mainWindowMarksModifiedOnOkOnly();
    void typedValuesAreStored_data();
    void typedValuesAreStored();
    void ecuSpeedSourceStaysDisabled_data();
    void ecuSpeedSourceStaysDisabled();
    void columnsKeepTheirRows();

private:
    // Opens the editor on mk through the editing procedure; act() works the dialog and
    // returns true for OK.
    bool Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act);
    static void Leave(QWidget *from, QWidget *to) {
        from->setFocus();
        to->setFocus();
    }

    std::unique_ptr<TFakePrompts> prompts_;
};

void TestEditor::init() {
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
}

void TestEditor::cleanup() {
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
    prompts_.reset();
}

bool TestEditor::Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act) {
    return EditSession(mk, act);
}

void TestEditor::structure_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QStringList>("dispTabs");
    QTest::newRow("ru") << false << QStringLiteral("Настройки МК")
                        << QStringList{"Поправки", "Источники", "Границы", "Дисплей", "Озвуч.сообщения", "Средние",
                                       "Парковка", "Бак", "ТО", "Допсистемы", "Трим", "Служ.информ."}
                        << QStringList{"Цветовые схемы", "Дисплеи х1", "Дисплеи х4", "Дисплеи х9", "Дисплей х6",
                                       "Граф. дисплеи", "Стрел. дисплеи", "Горячие меню", "Доп.панель", "Разное"};
    QTest::newRow("en") << true << QStringLiteral("Device settings")
                        << QStringList{"Correction", "Resources", "Limits", "Display", "Sounds", "Average", "Parctronic",
                                       "Fuel", "TS", "Add.systems", "Uni.input/Trim", "ServiceInfo"}
                        << QStringList{"Color schemes", "Displays x 1", "Displays x 4", "Displays x 9", "Displays x ",
                                       "Граф. дисплеи", "Стрел. дисплеи", "Hot menu", "Доп.панель", "Divers"};
}

void TestEditor::structure() {
    QFETCH(bool, english);
    QFETCH(QString, caption);
    QFETCH(QStringList, tabs);
    QFETCH(QStringList, dispTabs);
    TLangScope lang(english);
    TMK mk;
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            QCOMPARE(dlg.windowTitle(), caption);
            QCOMPARE(dlg.size(), QSize(1021, 599));
            QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
            QCOMPARE(dlg.pcMain->count(), 12);
            for (int i = 0; i < 12; ++i) QCOMPARE(dlg.pcMain->tabText(i), tabs[i]);
            const QStringList names{"tsCorr", "tsMeth", "tsLim", "tsDisp", "tsVoice", "tsAver",
                                    "tsPark", "tsOil", "tsTO", "tsBlocks", "tsUniMeas", "tsServiceInfo"};
            for (int i = 0; i < 12; ++i) QCOMPARE(dlg.pcMain->widget(i)->objectName(), names[i]);
            for (int i = 0; i < dispTabs.size(); ++i) QCOMPARE(dlg.pcDisp->tabText(i), dispTabs[i]);
            QCOMPARE(dlg.pcMain->currentIndex(), 0);
            // Model 0x4000: parking radar and additional systems, no trim, never the service page.
            QVERIFY(dlg.pcMain->isTabVisible(6));
            QVERIFY(dlg.pcMain->isTabVisible(9));
            QVERIFY(!dlg.pcMain->isTabVisible(10));
            QVERIFY(!dlg.pcMain->isTabVisible(11));
            QVERIFY(!dlg.pcDisp->isTabVisible(5));
            QVERIFY(!dlg.pcDisp->isTabVisible(6));
            QCOMPARE(dlg.OKBtn->objectName(), QStringLiteral("OKBtn"));
            QCOMPARE(dlg.CancelBtn->objectName(), QStringLiteral("CancelBtn"));
        }();
        return false;
    });
}

void TestEditor::correctionFactorsShowPercent_data() {
    QTest::addColumn<float>("factor");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1.0f << QStringLiteral("0.0");
    QTest::newRow("nearest 1.1") << 1.1f << QStringLiteral("10.0");
    QTest::newRow("a hair below 0.9") << std::nextafter(0.9f, 0.0f) << QStringLiteral("-10.0");
}

void TestEditor::correctionFactorsShowPercent() {
    QFETCH(float, factor);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale::c());
    TMK mk;
    mk.SetFloat("VelocityCorr", factor);
    mk.SetFloat("ExpenseCorr", factor);
    QString velocity, expense;
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        velocity = dlg.findChild<TSpinEdit *>("seVelocityCorr")->text();
        expense = dlg.findChild<TSpinEdit *>("seExpenseCorr")->text();
        return false;
    });
    QCOMPARE(velocity, text);
    QCOMPARE(expense, text);
    QLocale::setDefault(QLocale::system());
}

void TestEditor::velocityLimitStepsByTwo() {
    TMK mk;
    mk.Set("VelocityLimit", 20);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(2);
        auto *spin = dlg.findChild<TSpinEdit *>("seVelocityLimit");
        auto *other = dlg.findChild<TSpinEdit *>("seTankLimit");
        [&] {
            QCOMPARE(spin->value(), 40.0);
            QVERIFY(spin->ArrowsOnly());
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QStringLiteral("41"));
            other->setFocus();
            QCOMPARE(spin->value(), 40.0);
            spin->setFocus();
            QTest::keyClick(spin, Qt::Key_Up);
            QCOMPARE(spin->value(), 42.0);
        }();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("VelocityLimit"), 21);
}

void TestEditor::tankCompensationIsInverted() {
    TMK mk;
    mk.ModelCode = 0x4400;
    mk.Set("TankMeth", 1);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *box = dlg.findChild<QCheckBox *>("cbCorrTankByAcc");
        [&] {
            QVERIFY(!box->isHidden());
            QCOMPARE(box->text(), QStringLiteral("Компенс.Uбс"));
            QVERIFY(box->isChecked());
            box->click();
            QVERIFY(mk.Bit("OptionBits", 17));
            box->click();
            QVERIFY(!mk.Bit("OptionBits", 17));
            // Another tank method hides it.
            auto *meth = dlg.findChild<QComboBox *>("cbTankMeth");
            meth->setFocus();
            QTest::keyClick(meth, Qt::Key_Up);
            QCOMPARE(mk.Get("TankMeth"), 0);
            QVERIFY(box->isHidden());
        }();
        return false;
    });
    QCOMPARE(mk.Get("TankMeth"), 1);
    QVERIFY(!mk.Bit("OptionBits", 17));
}

void TestEditor::startLevelStoresFour_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("virtualLock");
    // Without the lock choice the level is there whatever bit 0 holds.
    for (bool english : {false, true})
        for (bool virtualLock : {false, true})
            QTest::addRow("%s, bit 0 %s", english ? "en" : "ru", virtualLock ? "set" : "clear")
                << english << virtualLock;
}

void TestEditor::startLevelStoresFour() {
    QFETCH(bool, english);
    QFETCH(bool, virtualLock);
    TLangScope lang(english);
    TMK mk;
    mk.ModelCode = 0x5100;
    mk.SetBit("OptionBits", 0, virtualLock);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *level = dlg.findChild<TRadioGroup *>("rgLockTypeLevel");
        [&] {
            QVERIFY(dlg.findChild<QWidget *>("rgLockType")->isHidden());
            QVERIFY(level->isVisible());
            QCOMPARE(level->Items(), (QStringList{"1", "2", "3", english ? "Strt" : "Стрт"}));
            QTest::mouseClick(level->Button(3), Qt::LeftButton);
        }();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("LockTypeLevel"), 4);
    QCOMPARE(mk.Bit("OptionBits", 0), virtualLock);
}

void TestEditor::protocolChangeZeroesVariants() {
    TMK mk;
    mk.ModelCode = 0x4400;
    const int from = FindProtocol(0x4400, [](const TProtBase &p) { return p.OptUsed(0) && p.OptUsed(3); });
    QVERIFY(from >= 0);
    mk.Set("ProtocolIndex", from);
    mk.Set("ProtocolIndex2", from);
    for (int i = 0; i < 8; ++i) mk.Set(i == 0 ? "ProtTypeMain" : QStringLiteral("ProtTypeAdd%1").arg(i).toLatin1().constData(), i + 1);
    Prots().BuildProtocolList(0x4400, 0, 0);
    const int manual = 1 + 1 + 0 + 0; // "Авт.", "АвтOBD", then "Руч." on this model
    QCOMPARE(manual, 2);
    mk.Set("ProtocolSelectMeth", manual);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *protocol = dlg.findChild<QComboBox *>("cbProtocol");
        [&] {
            QVERIFY(!protocol->isHidden());
            QCOMPARE(protocol->currentIndex(), from);
            QCOMPARE(protocol->count(), Prots().Count());
            protocol->setFocus();
            QTest::keyClick(protocol, from > 0 ? Qt::Key_Up : Qt::Key_Down);
            // Nothing happens until the list is left.
            QCOMPARE(mk.Get("ProtocolIndex"), from);
            dlg.findChild<QWidget *>("cbTankMode")->setFocus();
            const int to = from > 0 ? from - 1 : from + 1;
            QCOMPARE(mk.Get("ProtocolIndex"), to);
            QCOMPARE(mk.Get("ProtocolIndex2"), to);
            QCOMPARE(Prots().CurrentProtocol, Prots().ProtocolList[size_t(to)].get());
            for (const char *f : {"ProtTypeMain", "ProtTypeAdd1", "ProtTypeAdd2", "ProtTypeAdd3", "ProtTypeAdd4",
                                  "ProtTypeAdd5", "ProtTypeAdd6", "ProtTypeAdd7"})
                QCOMPARE(mk.Get(f), 0);
            // The variant slots follow the new protocol.
            const TProtBase &p = *Prots().CurrentProtocol;
            for (int slot = 0; slot < 8; ++slot) {
                const char *names[] = {"cbProtTypeMain", "cbProtTypeAdd1", "cbProtTypeAdd2", "cbProtTypeAdd3",
                                       "cbProtTypeAdd4", "cbProtTypeAdd5", "cbProtTypeAdd6", "cbProtTypeAdd7"};
                QCOMPARE(!dlg.findChild<QWidget *>(names[slot])->isHidden(), p.OptUsed(slot));
            }
        }();
        return true;
    });
    QVERIFY(ok);
}

void TestEditor::trimBoundsFollowEachOther() {
    TMK mk;
    mk.ModelCode = 0x5000;
    mk.Set("TrimLowLimit", 10);
    mk.Set("TrimHighLimit", 60);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(2);
        auto *low = dlg.findChild<TSpinEdit *>("seTrimLowLimit");
        auto *high = dlg.findChild<TSpinEdit *>("seTrimHighLimit");
        [&] {
            QVERIFY(!dlg.findChild<QWidget *>("gbTrim")->isHidden());
            QCOMPARE(high->minimum(), 11.0);
            QCOMPARE(low->maximum(), 59.0);
            low->setFocus();
            low->selectAll();
            QTest::keyClicks(low, QStringLiteral("50"));
            high->setFocus();
            QCOMPARE(mk.Get("TrimLowLimit"), 50);
            QCOMPARE(high->minimum(), 51.0);
            QCOMPARE(high->value(), 60.0);
            // A high limit of 45 is raised to 51 at once.
            high->selectAll();
            QTest::keyClicks(high, QStringLiteral("45"));
            low->setFocus();
            QCOMPARE(high->value(), 51.0);
            QCOMPARE(mk.Get("TrimHighLimit"), 51);
            QCOMPARE(low->maximum(), 50.0);
            high->setFocus();
            QTest::keyClick(high, Qt::Key_Down);
            QCOMPARE(high->value(), 51.0);
        }();
        return true;
    });
    QVERIFY(ok);
}

void TestEditor::speedSourceNeedsVirtualLock() {
    TMK mk;
    mk.ModelCode = 0x5000; // LastSpeedSourceNeedsVirtualLock, GPS
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *speed = dlg.findChild<TRadioGroup *>("rgVelocityMeth");
        auto *lock = dlg.findChild<TRadioGroup *>("rgLockType");
        [&] {
            QCOMPARE(speed->Items(), (QStringList{"ЭБУ", "GPS", "Датч."}));
            QCOMPARE(lock->ItemIndex(), 0); // physical
            speed->Button(2)->click();
            QCOMPARE(speed->ItemIndex(), 0);
            QCOMPARE(mk.Get("VelocityMeth"), 0);
            speed->Button(1)->click();
            QCOMPARE(mk.Get("VelocityMeth"), 1);
            lock->Button(1)->click(); // virtual: the last source is allowed
            speed->Button(2)->click();
            QCOMPARE(mk.Get("VelocityMeth"), 2);
            lock->Button(0)->click(); // back to physical: the last source gives way
            QCOMPARE(speed->ItemIndex(), 0);
            QCOMPARE(mk.Get("VelocityMeth"), 0);
        }();
        return true;
    });
    QVERIFY(ok);
}

void TestEditor::visibility_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("protocol"); // a property the entry must have, or a name
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    QTest::newRow("0x4000 Jan") << 0x4000 << "first"
                                << QStringList{"seVelocityCorr", "seAirTemperCorr", "rgRevolutionsMeth", "rgLockType",
                                               "seVel100", "seStopVelocityLimit"}
                                << QStringList{"seGazExpenseCorr", "seGazContFull", "cbGasOil", "rgGasMeth",
                                               "rgGasCalcExp", "gbTrim", "rgLockTypeLevel", "cbLightsOn", "cbUseTank2",
                                               "seForsCoefCarb", "rgAirWaterShow", "rg24VMode", "seInvTemperLimit"};
    QTest::newRow("0x4010 no injector input") << 0x4010 << "first"
                                              << QStringList{"cbLightsOn", "seGazContFull"}
                                              << QStringList{"rgRevolutionsMeth", "rgExpenseMeth", "rgGasMeth",
                                                             "rgAirTemperMeth", "seAirTemperCorr"};
    QTest::newRow("0x5000 boat") << 0x5000 << "first"
                                 << QStringList{"gbTrim", "rgAirWaterShow", "seTrimLowLimit"}
                                 << QStringList{"seVelocityCorr", "seVel100", "seVel100Down", "rgAirTemperMeth",
                                                "seStopVelocityLimit", "seGazExpenseCorr"};
    QTest::newRow("0x5100 start level") << 0x5100 << "first"
                                        << QStringList{"seVelocityCorr"}
                                        << QStringList{"rgLockType", "seAirTemperCorr", "cbCorrTankByAcc"};
    QTest::newRow("0x8080 Prius3.0") << 0x8080 << "Prius3.0"
                                     << QStringList{"seInvTemperLimit", "seHVBTemperLimit", "seElEngTemperLimit",
                                                    "cbHybridCoolHVB", "cbHybrUse6VentSpeed", "seHybrVentSpeedStep",
                                                    "seVentTempLimit", "seGazContFull"}
                                     << QStringList{"gbTrim", "seVAGSFilterLimit", "seRetarderOilTemperLimit"};
    QTest::newRow("0x8000 soot filter kind 82") << 0x8000 << "kind82" << QStringList{"seVAGSFilterLimit"}
                                                << QStringList{"seInvTemperLimit"};
}

void TestEditor::visibility() {
    QFETCH(int, model);
    QFETCH(QString, protocol);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    TPredicateOn pred = [](const TProtBase &) { return true; };
    if (protocol == QLatin1String("kind82")) pred = [](const TProtBase &p) { return p.Kind == 82; };
    else if (protocol != QLatin1String("first")) pred = [protocol](const TProtBase &p) { return p.Name == protocol; };
    const int index = FindProtocol(uint16_t(model), pred);
    if (index < 0) QSKIP("no such protocol on this model");
    TMK mk;
    mk.ModelCode = uint16_t(model);
    mk.Set("ProtocolIndex", index);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            for (const QString &name : shown) {
                QWidget *w = dlg.findChild<QWidget *>(name);
                QVERIFY2(w, qPrintable(name));
                QVERIFY2(!w->isHidden(), qPrintable(name + " should be shown"));
                if (QLabel *l = dlg.Binder().Label(w)) QVERIFY2(!l->isHidden(), qPrintable(name));
            }
            for (const QString &name : hidden) {
                QWidget *w = dlg.findChild<QWidget *>(name);
                QVERIFY2(w, qPrintable(name));
                QVERIFY2(w->isHidden(), qPrintable(name + " should be hidden"));
                if (QLabel *l = dlg.Binder().Label(w)) QVERIFY2(l->isHidden(), qPrintable(name));
            }
        }();
        return false;
    });
}

void TestEditor::protocolVariantSlots() {
    TMK mk;
    mk.ModelCode = 0x8080;
    const int index = FindProtocol(0x8080, Named("Prius3.0"));
    QVERIFY(index >= 0);
    mk.Set("ProtocolIndex", index);
    mk.Set("ProtTypeMain", 1);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        const TProtBase &p = *Prots().CurrentProtocol;
        auto *main = dlg.findChild<QComboBox *>("cbProtTypeMain");
        [&] {
            QCOMPARE(!main->isHidden(), p.OptUsed(0));
            if (p.OptUsed(0)) {
                QCOMPARE(dlg.Binder().Label(main)->text(), p.OptCaption[0]);
                QCOMPARE(dlg.Binder().Label(main)->objectName(), QStringLiteral("lProtTypeMain"));
                QCOMPARE(main->count(), std::min(p.OptCount[0], 20));
                QCOMPARE(main->currentIndex(), 1);
            }
            // The fan limit of a hybrid has its own range.
            auto *vent = dlg.findChild<TSpinEdit *>("seVentTempLimit");
            QCOMPARE(vent->BoundMin(), 25.0);
            QCOMPARE(vent->BoundMax(), 60.0);
        }();
        return false;
    });
}

void TestEditor::nothingIsCutOff_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("english");
    for (const TDeviceModel &m : DeviceModels())
        for (bool en : {false, true})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(m.Code, 4, 16).arg(en ? "en" : "ru")))
                << int(m.Code) << en;
}

void TestEditor::nothingIsCutOff() {
    QFETCH(int, model);
    QFETCH(bool, english);
    TLangScope lang(english);
    // The entry with the most option slots, then the one with the longest name.
    int most = 0, longest = 0;
    Prots().BuildProtocolList(uint16_t(model), 0, 0);
    const auto used = [](const TProtBase &p) {
        int n = 0;
        for (int slot = 0; slot < 8; ++slot) n += p.OptUsed(slot);
        return n;
    };
    for (int i = 0; i < Prots().Count(); ++i) {
        if (used(*Prots().ProtocolList[size_t(i)]) > used(*Prots().ProtocolList[size_t(most)])) most = i;
        if (Prots().ProtocolList[size_t(i)]->Name.size() > Prots().ProtocolList[size_t(longest)]->Name.size()) longest = i;
    }
    QStringList problems;
    for (int protocol : {most, longest}) {
        TMK mk;
        mk.ModelCode = uint16_t(model);
        mk.Set("ProtocolIndex", protocol);
        mk.Set("ProtocolSelectMeth", 9); // past every list: cbProtocol shows only for manual
        mk.SetBit("OptionBits", 0, true);
        Edit(mk, [&](TMK_SetParamsDlg &dlg) {
            dlg.pcMain->setCurrentIndex(1);
            auto *select = dlg.findChild<QComboBox *>("cbProtocolSelectMeth");
            select->setFocus();
            QTest::keyClick(select, Qt::Key_End); // manual selection shows the protocol list
            if (dlg.findChild<QWidget *>("cbProtocol")->isHidden()) problems << QStringLiteral("cbProtocol not shown");
            // Every page and sub-page the device shows, as the user goes through them.
            std::function<void(QTabWidget *)> visit = [&](QTabWidget *tabs) {
                for (int page = 0; page < tabs->count(); ++page) {
                    if (!tabs->isTabVisible(page)) continue;
                    tabs->setCurrentIndex(page);
                    QWidget *p = tabs->widget(page);
                    QApplication::processEvents();
                    for (QWidget *w : p->findChildren<QWidget *>()) {
                        // A line edit's own buttons (the date picker) are the line edit's business.
                        if (!w->isVisibleTo(p) || w->inherits("QLineEdit") || w->parentWidget()->inherits("QLineEdit") ||
                            !w->parentWidget()->isVisibleTo(p))
                            continue;
                        if (!(w->inherits("QLabel") || w->inherits("QAbstractButton") || w->inherits("QComboBox") ||
                              w->inherits("QAbstractSpinBox") || w->inherits("QGroupBox") || w->inherits("TPaintBox") ||
                              w->inherits("QTableWidget")))
                            continue;
                        const QRect r(w->mapTo(p, QPoint(0, 0)), w->size());
                        const QString what = w->objectName() + QLatin1Char(' ') + w->metaObject()->className();
                        // What scrolls may lie outside its page, but not beyond the scroll area's width.
                        QScrollArea *scroll = nullptr;
                        for (QWidget *a = w->parentWidget(); a && a != p && !scroll; a = a->parentWidget())
                            scroll = qobject_cast<QScrollArea *>(a);
                        if (scroll && scroll->widget()->width() > scroll->viewport()->width())
                            problems << what + QStringLiteral(" is cut off by its scroll area");
                        if (!scroll && !p->rect().contains(r)) problems << what + QStringLiteral(" leaves its page");
                        // A grid that cannot scroll shows every cell; the other controls their least size.
                        bool squeezed = false;
                        auto *t = qobject_cast<QTableWidget *>(w);
                        if (t && t->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) {
                            squeezed = t->viewport()->width() < t->horizontalHeader()->length() ||
                                       t->viewport()->height() < t->verticalHeader()->length();
                        } else {
                            const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
                            squeezed = w->width() < least.width() || w->height() < least.height();
                        }
                        if (squeezed) problems << what + QStringLiteral(" is squeezed");
                    }
                    for (auto *sub : p->findChildren<QTabWidget *>(Qt::FindDirectChildrenOnly)) visit(sub);
                }
            };
            visit(dlg.pcMain);
            return false;
        });
    }
    problems.removeDuplicates();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void TestEditor::okWithoutTouchingKeepsTheImage() {
    for (uint16_t model : {0x4000, 0x4400, 0x5000, 0x5100, 0x8080}) {
        TMK mk;
        const int protocol = std::min(FindProtocol(model, [](const TProtBase &) { return true; }) + 1, Prots().Count() - 1);
        FillRealisticImage(mk, model, protocol);
        mk.LoadAllSections();
        ClearX1BitsPastProtocol(mk);
        const QByteArray image = mk.Image.Bytes();
        const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
        const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
            // Visit every page, as a user looking around would.
            for (int i = 0; i < dlg.pcMain->count(); ++i) dlg.pcMain->setCurrentIndex(i);
            return true;
        });
        QVERIFY(ok);
        QVERIFY2(mk.Image.Bytes() == image, qPrintable(QString::number(model, 16)));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize), working);
    }
}

void TestEditor::okOnTheSimulatedDeviceImage() {
    // The image a read from the simulated device gives: blocks 1 … 127 and 129 … 255.
    const QByteArray memory = TSimDevice::DefaultMemory();
    TMK mk;
    mk.Image.Append(memory.mid(32, 4096 - 32) + memory.mid(4096 + 32));
    QCOMPARE(mk.Image.Size(), 8128);
    mk.LoadAllSections();
    ClearX1BitsPastProtocol(mk);
    const QByteArray image = mk.Image.Bytes();
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        for (int i = 0; i < dlg.pcMain->count(); ++i) dlg.pcMain->setCurrentIndex(i);
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Image.Bytes(), image);
}

void TestEditor::cancelPutsEverythingBack() {
    TMK mk;
    FillRealisticImage(mk, 0x4400, 3);
    mk.LoadAllSections();
    const QByteArray image = mk.Image.Bytes();
    const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.findChild<QCheckBox *>("cbGasOil")->click();
        dlg.findChild<TRadioGroup *>("rgPrognozMeth")->Button(2)->click();
        auto *spin = dlg.findChild<TSpinEdit *>("seTimeCorr");
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_Up);
        dlg.findChild<QWidget *>("seAllPathStart")->setFocus();
        return false;
    });
    QVERIFY(!ok);
    QCOMPARE(mk.Image.Bytes(), image);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize), working);
}

void TestEditor::okStoresTheFocusedEdit() {
    TMK mk;
    FillRealisticImage(mk, 0x4400, 0);
    mk.LoadAllSections();
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *spin = dlg.findChild<TSpinEdit *>("seAllPathStart");
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("12345"));
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
        return dlg.result() == QDialog::Accepted;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get("AllPathStart"), 12345);
    const QByteArray image = mk.Image.Bytes();
    const int at = mk.Header.sections[1].address - 32 + 144;
    QCOMPARE(LE::Get<int32_t>(reinterpret_cast<const uint8_t *>(image.constData()) + at), 12345);
}

void TestEditor::mainWindowMarksModifiedOnOkOnly() {
    QTemporaryDir dir;
    qputenv("TRIPCONF_INI", dir.filePath(QStringLiteral("t.ini")).toLocal8Bit());
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TMK source;
    FillRealisticImage(source, 0x4400, 0);
    const QString file = dir.filePath(QStringLiteral("a.vorng"));
    SettingsFile::Save(source, file);
    prompts_->FileNames << file;
    form.bLoadParams->click();
    QVERIFY(form.bEditParams->isEnabled());
    for (bool accept : {false, true}) {
        QTimer::singleShot(0, [accept] {
            auto *dlg = qobject_cast<TMK_SetParamsDlg *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->findChild<QCheckBox *>("cbGasOil")->click();
            accept ? dlg->accept() : dlg->reject();
        });
        form.bEditParams->click();
        QCOMPARE(form.SettingsModified, accept);
    }
    form.SettingsModified = false;
    form.close();
    qunsetenv("TRIPCONF_INI");
}

void TestEditor::typedValuesAreStored_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("shown");
    // Negative values.
    QTest::newRow("battery offset -0.7") << 0x4000 << "seAccCorr" << "-0.7" << "AccCorr" << -7.0 << -0.7;
    QTest::newRow("clock -30") << 0x4000 << "seTimeCorr" << "-30" << "TimeCorr" << -30.0 << -30.0;
    QTest::newRow("gas factor -0.3 %") << 0x8000 << "seGazExpenseCorr" << "-0.3" << "GazExpenseCorr" << 0.997 << -0.3;
    QTest::newRow("trim low -5") << 0x5000 << "seTrimLowLimit" << "-5" << "TrimLowLimit" << -5.0 << -5.0;
    // What was typed is judged when the edit ends: pulled to the nearest bound.
    QTest::newRow("engine speed 95 of 25 … 80") << 0x4000 << "seRevolutionsLimit" << "95" << "RevolutionsLimit" << 80.0 << 80.0;
    QTest::newRow("engine speed 10 of 25 … 80") << 0x4000 << "seRevolutionsLimit" << "10" << "RevolutionsLimit" << 25.0 << 25.0;
    QTest::newRow("fuel rem. 150 of 5 … 99") << 0x4000 << "seTankLimit" << "150" << "TankLimit" << 99.0 << 99.0;
    QTest::newRow("mileage 1234567") << 0x4000 << "seAllPathStart" << "1234567" << "AllPathStart" << 999999.0 << 999999.0;
}

void TestEditor::typedValuesAreStored() {
    QFETCH(int, model);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(double, stored);
    QFETCH(double, shown);
    QLocale::setDefault(QLocale::c());
    TMK mk;
    FillRealisticImage(mk, uint16_t(model), 0);
    mk.LoadAllSections();
    double showing = 0;
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        auto *spin = dlg.findChild<TSpinEdit *>(control);
        if (!spin) return false;
        for (QWidget *p = spin; p; p = p->parentWidget())
            if (dlg.pcMain->indexOf(p) >= 0) dlg.pcMain->setCurrentWidget(p);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        QTest::keyClick(spin, Qt::Key_Tab); // leave it
        showing = spin->value();
        return true;
    });
    QLocale::setDefault(QLocale::system());
    QVERIFY(ok);
    QCOMPARE(showing, shown);
    // What the saved file holds.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.vorng"));
    SettingsFile::Save(mk, file);
    TMK back;
    SettingsFile::Load(back, file);
    back.LoadAllSections();
    const QByteArray name = field.toLatin1();
    if (TMK::Field(name.constData()).type == TFieldType::F32)
        QCOMPARE(back.GetFloat(name.constData()), float(stored));
    else
        QCOMPARE(double(back.Get(name.constData())), stored);
}

void TestEditor::ecuSpeedSourceStaysDisabled_data() {
    QTest::addColumn<int>("kind");
    // Model 0x5000: the last speed source needs the virtual lock.
    QTest::newRow("kind 225") << 225;
    QTest::newRow("kind 254") << 254;
    QTest::newRow("kind 255") << 255;
}

void TestEditor::ecuSpeedSourceStaysDisabled() {
    QFETCH(int, kind);
    TMK mk;
    mk.ModelCode = 0x5000;
    const int index = FindProtocol(0x5000, [&](const TProtBase &p) { return p.Kind == kind; });
    QVERIFY(index >= 0);
    mk.Set("ProtocolIndex", index);
    mk.Set("VelocityMeth", 1);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(1);
        auto *speed = dlg.findChild<TRadioGroup *>("rgVelocityMeth");
        [&] {
            QVERIFY(!speed->Button(0)->isEnabled());
            // "Sens." with a physical lock gives way to "ECU", which stays disabled.
            QTest::mouseClick(speed->Button(2), Qt::LeftButton);
            QCOMPARE(mk.Get("VelocityMeth"), 0);
            QVERIFY(!speed->Button(0)->isEnabled());
            QVERIFY(speed->Button(1)->isEnabled());
            // So does every reload of the list.
            dlg.Binder().Load(speed);
            QVERIFY(!speed->Button(0)->isEnabled());
        }();
        return false;
    });
}

void TestEditor::columnsKeepTheirRows() {
    // Showing the injector groups on the right must not move the left column, and
    // rows hidden by a rule leave no gap.
    TMK mk;
    mk.ModelCode = 0x4000;
    QList<int> rowsWithout, rowsWith;
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        dlg.pcMain->setCurrentIndex(0);
        const QStringList left{"seVelocityCorr", "seExpenseCorr", "seAirTemperCorr", "seAccCorr", "seTimeCorr",
                               "seAllPathStart", "seAllTimeStart"};
        const auto rows = [&] {
            QApplication::processEvents();
            QList<int> ys;
            for (const QString &name : left) ys << dlg.findChild<QWidget *>(name)->mapTo(&dlg, QPoint()).y();
            return ys;
        };
        rowsWithout = rows();
        [&] {
            QVERIFY(dlg.findChild<QWidget *>("rgForsCoef")->isHidden());
            dlg.pcMain->setCurrentIndex(1);
            QTest::mouseClick(dlg.findChild<TRadioGroup *>("rgRevolutionsMeth")->Button(1), Qt::LeftButton);
            dlg.pcMain->setCurrentIndex(0);
            QVERIFY(!dlg.findChild<QWidget *>("rgForsCoef")->isHidden());
        }();
        rowsWith = rows();
        // seGazExpenseCorr is hidden on this model: its neighbours sit one row apart.
        [&] {
            const int step = rowsWith[1] - rowsWith[0];
            for (int i = 2; i < rowsWith.size(); ++i) QCOMPARE(rowsWith[i] - rowsWith[i - 1], step);
        }();
        return false;
    });
    QCOMPARE(rowsWith, rowsWithout);
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
