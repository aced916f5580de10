// The sound, average, parking and display-option pages as the user works them: groups
// clicked and left, values typed, lists picked, and what the saved file then holds.

#include "EditorSession.h"
#include "FakePrompts.h"
#include "TestEnv.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/Widgets.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

int FindProtocol(uint16_t model, const QString &name) {
    Prots().BuildProtocolList(model, 0, 0);
    for (int i = 0; i < Prots().Count(); ++i)
        if (Prots().ProtocolList[size_t(i)]->Name == name) return i;
    return name.isEmpty() ? 0 : -1;
}

// Opens the editor through the editing procedure; act() returns true for OK.
bool Edit(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act) { return EditSession(mk, act); }

// Brings the page and sub-page of w to the front; false when a tab on the way is hidden.
bool Reveal(TMK_SetParamsDlg &dlg, QWidget *w) {
    for (QTabWidget *tabs : dlg.findChildren<QTabWidget *>())
        for (QWidget *p = w; p; p = p->parentWidget())
            if (tabs->indexOf(p) >= 0) {
                if (!tabs->isTabVisible(tabs->indexOf(p))) return false;
                tabs->setCurrentWidget(p);
            }
    QApplication::processEvents();
    return true;
}

// "pick:N" (radio or list item), "type:TEXT", "up:N" or "click"; false when the device
// does not show the control.
bool Act(TMK_SetParamsDlg &dlg, const QString &control, const QString &action) {
    QWidget *w = dlg.findChild<QWidget *>(control);
    if (!w || w->isHidden() || !Reveal(dlg, w)) return false;
    const QString verb = action.section(QLatin1Char(':'), 0, 0), arg = action.section(QLatin1Char(':'), 1);
    auto *g = qobject_cast<TRadioGroup *>(w);
    QAbstractButton *button = g ? g->Button(arg.toInt()) : qobject_cast<QAbstractButton *>(w);
    if (button) { // on its indicator
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        return true;
    }
    w->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->home(false);
    } else if (auto *spin = qobject_cast<TSpinEdit *>(w)) {
        spin->selectAll();
    } else if (verb == QLatin1String("pick")) {
        QTest::keyClick(w, Qt::Key_Home);
    }
    if (verb == QLatin1String("type")) QTest::keyClicks(w, arg);
    for (int i = 0; verb != QLatin1String("type") && i < arg.toInt(); ++i)
        QTest::keyClick(w, verb == QLatin1String("up") ? Qt::Key_Up : Qt::Key_Down);
    return true;
}

QJsonObject Dump(const QString &file) {
    QProcess p;
    p.start(QStringLiteral(TRIPCONF_CLI), {QStringLiteral("dump"), file, QStringLiteral("--json")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    // Every field by name, whichever section holds it.
    QJsonObject fields;
    const QJsonObject dump = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const QJsonValue &section : dump.value(QLatin1String("sections")).toArray()) {
        const QJsonObject own = section.toObject().value(QLatin1String("fields")).toObject();
        for (auto it = own.begin(); it != own.end(); ++it)
            fields.insert(it.key(), it.value());
    }
    return fields;
}

} // namespace

class TestOptionPages : public QObject {
    Q_OBJECT
private slots:
    void init() {
        prompts_ = std::make_unique<TFakePrompts>();
        Lang::SetEnglish(false);
    }
    void cleanup() {
        QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
        prompts_.reset();
    }
    void clicksStoreBytes_data();
    void clicksStoreBytes();
    void whatTheDeviceShows_data();
    void whatTheDeviceShows();
    void hiddenRowsLeaveNoRoom();
    void editSessionRoundTrips_data();
    void editSessionRoundTrips();

private:
    std::unique_ptr<TFakePrompts> prompts_;
};

void TestOptionPages::clicksStoreBytes_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("before");
    QTest::addColumn<QStringList>("shown");  // group:item as loaded, -1 for no selection
    QTest::addColumn<QStringList>("clicks"); // group:item
    QTest::addColumn<int>("after");
    const QString modes = QStringLiteral("AlertModes"), methods = QStringLiteral("IntenseMeth");
    // clang-format off
    QTest::newRow("first 1, next 4") << 0x8000 << "" << modes << 2 << 0 << QStringList{"rgapVel_N:0"}
        << QStringList{"rgapVel_F:1", "rgapVel_N:4"} << 33;
    QTest::newRow("one group: mode x 9") << 0x8000 << "" << modes << 6 << 0x28 << QStringList{"rgapTO_F:0"}
        << QStringList{"rgapTO_F:2"} << 18;
    // A stored mode without an item stays what it was; nothing is made up for it.
    QTest::newRow("stored first 7 stays") << 0x8000 << "" << modes << 0 << 7 + 8 * 2
        << QStringList{"rgapUAccHigh_F:-1", "rgapUAccHigh_N:2"} << QStringList{"rgapUAccHigh_N:3"} << 7 + 8 * 3;
    QTest::newRow("stored next 6 stays") << 0x8000 << "" << modes << 1 << 1 + 8 * 6 << QStringList{"rgapUAccLow_N:-1"}
        << QStringList{"rgapUAccLow_F:4"} << 4 + 8 * 6;
    QTest::newRow("soot filter") << 0x8000 << "" << modes << 17 << 0 << QStringList{} << QStringList{"rgapSFilter_F:2"} << 18;
    QTest::newRow("water in fuel, kind 225") << 0x5000 << "Evinrude" << modes << 17 << 0 << QStringList{}
        << QStringList{"rgapWaterInFuel_N:2"} << 16;
    QTest::newRow("hybrid engine pump") << 0x8080 << "Prius3.0" << modes << 17 << 9 << QStringList{"rgapWaterInFuel_N:1"}
        << QStringList{"rgapWaterInFuel_F:2"} << 10;
    QTest::newRow("hybrid electric motor") << 0x8080 << "Prius3.0" << modes << 23 << 0 << QStringList{}
        << QStringList{"rgapElEngTemperHigh_N:4"} << 32;
    // The display control byte: brightness in the low half, colour scheme in the high half.
    QTest::newRow("brightness by lights") << 0x8000 << "" << methods << 0 << 0x21
        << QStringList{"rgIntenseMeth:1", "rgColorMeth:2"} << QStringList{"rgIntenseMeth:2"} << 0x22;
    QTest::newRow("colour by time, unknown brightness") << 0x8000 << "" << methods << 0 << 0x5F
        << QStringList{"rgIntenseMeth:-1", "rgColorMeth:-1"} << QStringList{"rgColorMeth:1"} << 0x1F;
    // clang-format on
}

void TestOptionPages::clicksStoreBytes() {
    QFETCH(int, model);
    QFETCH(QString, protocol);
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(int, before);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, clicks);
    QFETCH(int, after);
    const QByteArray name = field.toLatin1();
    TMK mk;
    mk.ModelCode = uint16_t(model);
    mk.Set("ProtocolIndex", FindProtocol(mk.ModelCode, protocol));
    mk.Set(name.constData(), before, index);
    // Showing the editor clears the x1 mask bits past the protocol's parameters; an empty mask stays.
    for (int word : {0, 1}) mk.Set("ShowDisp1", 0, word);
    // Trim limits in order: crossed ones (the defaults 0 and 0 too) are pulled apart at load.
    mk.Set("TrimLowLimit", 10);
    mk.Set("TrimHighLimit", 60);
    const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), int(mk.Working().size()));
    const bool ok = Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            for (const QString &s : shown)
                QCOMPARE(dlg.findChild<TRadioGroup *>(s.section(':', 0, 0))->ItemIndex(),
                         s.section(':', 1).toInt());
            for (const QString &c : clicks)
                QVERIFY(Act(dlg, c.section(':', 0, 0), "pick:" + c.section(':', 1)));
            // An alert byte is written when the focus leaves the row, not at the click.
            if (field == QLatin1String("AlertModes") && clicks.size() == 1)
                QCOMPARE(mk.Get(name.constData(), index), before);
        }();
        return true;
    });
    QVERIFY(ok);
    QCOMPARE(mk.Get(name.constData(), index), after);
    mk.Set(name.constData(), before, index); // and nothing else changed
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), int(mk.Working().size())),
             working);
}

void TestOptionPages::whatTheDeviceShows_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<int>("temperatureLabel");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    QTest::addColumn<QStringList>("captions"); // label=text
    // Modes 3 and 4 and the fourth sound-off item need speech; item 2 of the display control
    // methods the parking-lights input.
    QTest::addColumn<QStringList>("items"); // group:item=state: 1 enabled, 0 disabled, -1 absent
    // clang-format off
    QTest::newRow("0x4000 Jan") << 0x4000 << "Январь" << 0 << false
        << QStringList{"rgapError_F", "rgapLiqTempHigh_N", "rgapLiqTempReady_F", "rgapHolo_N", "rgap100Down_N",
                       "rgapGabar_F", "rgapLights_F", "rgFlagSound"}
        << QStringList{"rgapSFilter_F", "rgapWaterInFuel_N", "rgapHVBTemperHigh_N", "rgapElEngTemperHigh_F",
                       "rgapTrimLow_F", "rgapEngTemperHigh_N", "rgapRetarderOilTemperHigh_F", "rgapCVTFDeterior_F",
                       "rgapTemperOilAKPPHigh_F", "seSoundVolume", "rgSayHelloMode", "seSayParamPeriod"}
        << QStringList{"lapLiqTempHigh=Перегрев ОЖ"}
        << QStringList{"rgapVel_N:3=0", "rgapTO_F:4=0", "rgFlagSound:3=-1", "rgColorMeth:2=1"};
    QTest::newRow("0x5000 Yamaha, kind 222") << 0x5000 << "Yamaha" << 0 << false
        << QStringList{"rgapLiqTempHigh_N", "rgapEngTemperHigh_N", "rgapTrimLow_N", "rgapTrimHigh_F"}
        << QStringList{"rgapHolo_F", "rgap100_F", "rgap100Down_N", "rgapGabar_F", "rgapLights_F", "rgapLiqTempReady_F"}
        << QStringList{"lapLiqTempHigh=Перегрев воды", "lapEngTemperHigh=Перегрев двиг."}
        << QStringList{"rgIntenseMeth:2=0", "rgColorMeth:2=0"};
    QTest::newRow("0x5000 Suzuki, kind 223, en") << 0x5000 << "Suzuki" << 0 << true << QStringList{"rgapEngTemperHigh_F"}
        << QStringList{"rgapLiqTempHigh_F", "rgapWaterInFuel_F"} << QStringList{"lapEngTemperHigh=Cylinder  overheat"} << QStringList{};
    QTest::newRow("0x5000 Evinrude, kind 225") << 0x5000 << "Evinrude" << 0 << false
        << QStringList{"rgapWaterInFuel_N", "rgapLiqTempHigh_F"} << QStringList{}
        << QStringList{"lapWaterInFuel=Вода в топливе", "lapLiqTempHigh=Перегрев ОЖ", "lapEngTemperHigh=Перегрев цил."}
        << QStringList{};
    QTest::newRow("0x5000 Uni., engine label") << 0x5000 << "Универс." << 2 << false << QStringList{"rgapLiqTempHigh_N"}
        << QStringList{"rgapEngTemperHigh_F", "rgapError_F"} << QStringList{} << QStringList{};
    QTest::newRow("0x8000 CAN, kind 1") << 0x8000 << "CAN" << 0 << false
        << QStringList{"rgapCVTFDeterior_F", "rgapTemperOilAKPPHigh_N", "rgapSFilter_F", "seSoundVolume"}
        << QStringList{"rgapRetarderOilTemperHigh_F", "rgapTemperOilEngHigh_F"} << QStringList{}
        << QStringList{"rgapVel_N:4=1", "rgFlagSound:3=1", "rgIntenseMeth:2=1"};
    QTest::newRow("0x8000 J1939, kind 14") << 0x8000 << "J1939" << 0 << false
        << QStringList{"rgapRetarderOilTemperHigh_N"} << QStringList{"rgapCVTFDeterior_F"} << QStringList{} << QStringList{};
    QTest::newRow("0x8080 Prius3.0, en") << 0x8080 << "Prius3.0" << 0 << true
        << QStringList{"rgapHVBTemperHigh_N", "rgapInvTemperHigh_N", "rgapElEngTemperHigh_N", "rgapWaterInFuel_F"}
        << QStringList{"rgapSFilter_F", "rgapTrimHigh_N"}
        << QStringList{"lapWaterInFuel=Engine pump", "lapElEngTemperHigh=ElEng.overheat", "lapLiqTempHigh=Coolant overheat"}
        << QStringList{};
    // clang-format on
}

void TestOptionPages::whatTheDeviceShows() {
    QFETCH(int, model);
    QFETCH(QString, protocol);
    QFETCH(int, temperatureLabel);
    QFETCH(bool, english);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, items);
    TLangScope lang(english);
    TMK mk;
    mk.ModelCode = uint16_t(model);
    const int index = FindProtocol(mk.ModelCode, protocol);
    QVERIFY(index >= 0);
    mk.Set("ProtocolIndex", index);
    mk.Set("AirWaterShow", temperatureLabel);
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            for (const QString &name : shown + hidden) {
                QWidget *w = dlg.findChild<QWidget *>(name);
                QVERIFY2(w && w->isHidden() == hidden.contains(name), qPrintable(name));
                // An alert row's label goes with its first group.
                const QString first = name.startsWith("rgap") ? name.left(name.size() - 1) + 'F' : name;
                if (QLabel *l = dlg.Binder().Label(dlg.findChild<QWidget *>(first)))
                    QVERIFY2(l->isHidden() == hidden.contains(name), qPrintable(name));
            }
            for (const QString &c : captions)
                QCOMPARE(dlg.findChild<QLabel *>(c.section('=', 0, 0))->text(), c.section('=', 1));
            // Also after every control was loaded again and the texts refreshed.
            dlg.Binder().LoadAll();
            dlg.Binder().ApplyCaptions();
            for (const QString &i : items) {
                auto *g = dlg.findChild<TRadioGroup *>(i.section(':', 0, 0));
                const int item = i.section(':', 1).section('=', 0, 0).toInt();
                QCOMPARE(g->Count() > item ? int(g->Button(item)->isEnabled()) : -1,
                         i.section('=', 1).toInt());
            }
        }();
        return false;
    });
}

void TestOptionPages::hiddenRowsLeaveNoRoom() {
    // Rows hidden while their page is not on screen: the boxes around them shrink.
    TMK mk;
    mk.ModelCode = 0x5000; // no gas: a price and a reset period fewer
    Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            QVERIFY(Reveal(dlg, dlg.findChild<QWidget *>("gbPrice")));
            for (const char *name : {"gbPrice", "gbResetPeriod"}) {
                auto *box = dlg.findChild<QWidget *>(name);
                QCOMPARE(box->height(), box->sizeHint().height());
            }
        }();
        return false;
    });
}

void TestOptionPages::editSessionRoundTrips_data() {
    QTest::addColumn<int>("model");
    for (int model : {0x4000, 0x5000, 0x8000, 0x8080})
        QTest::newRow(qPrintable(QString::number(model, 16))) << model;
}

void TestOptionPages::editSessionRoundTrips() {
    QFETCH(int, model);
    struct TTouch {
        const char *control, *action, *field;
        int index;
        qint64 value; // the field after this and every earlier touch; all start at their defaults
    };
    const TTouch touches[] = {
        {"seTimeCorr", "type:-12", "TimeCorr", 0, -12},
        {"rgPrognozMeth", "pick:2", "PrognozMeth", 0, 2},
        {"seTankLimit", "type:33", "TankLimit", 0, 33},
        {"rgapVel_F", "pick:1", "AlertModes", 2, 1},
        {"rgapVel_N", "pick:2", "AlertModes", 2, 17},
        {"rgapTO_F", "pick:2", "AlertModes", 6, 18},
        {"seAlarmVelSecNoSayMax", "type:-1", "AlarmVelSecNoSayMax", 0, -1},
        {"rgFlagSound", "pick:2", "FlagSound", 0, 2},
        {"cbSoundLock", "click", "DisplayBits", 0, 8},
        {"sePricePath", "type:12.3", "PricePath", 0, 123},
        {"cbResetPeriod0", "pick:7", "ResetPeriod0", 0, 7},
        {"cbResetPeriod1", "pick:8", "ResetPeriod1", 0, 7},
        {"seTripMinStop", "up:1", "TripMinStop", 0, 1},
        {"cbTripJournAuto", "click", "TripJournAuto", 0, 1},
        {"seParkMinLeng0", "up:2", "ParkMinLeng0", 0, 4}, // a stored 0 steps into 30 … 90 first
        {"seParkStopVel1", "type:85", "ParkStopVel1", 0, 85},
        {"rgParkForwConstOff", "pick:2", "ParkForwConstOff", 0, 2},
        {"rgIntenseMeth", "pick:1", "IntenseMeth", 0, 0x01},
        {"rgColorMeth", "pick:1", "IntenseMeth", 0, 0x11},
        {"meIntenseNightTime", "type:2230", "IntenseNightTime", 0, 1350},
        {"cbShowDispName", "click", "DisplayBits", 0, 8 | 16},
        {"rgDispShowPBMeth", "pick:1", "DisplayBits", 0, 8 | 16 | 2},
        {"seIntense1", "type:3", "Intense1", 0, 3},
        {"rgActiveColorScheme", "pick:0", "ActiveColorScheme", 0, 0},
    };
    QLocale::setDefault(QLocale::c());
    TMK mk;
    mk.ModelCode = uint16_t(model);
    mk.Image.Append(TestEnv::SampleImage());
    // Showing the editor clears the x1 mask bits past the protocol's parameters; an empty mask stays.
    for (int word : {0, 1}) mk.Set("ShowDisp1", 0, word);
    // Trim limits in order: crossed ones are pulled apart at load.
    mk.Set("TrimLowLimit", 10);
    mk.Set("TrimHighLimit", 60);
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k);
    QTemporaryDir dir;
    const QString beforeFile = dir.filePath("before.vorng"), afterFile = dir.filePath("after.vorng");
    SettingsFile::Save(mk, beforeFile);

    QMap<QPair<QString, int>, qint64> expected;
    int skipped = 0;
    QVERIFY(Edit(mk, [&](TMK_SetParamsDlg &dlg) {
        for (const TTouch &t : touches) {
            if (Act(dlg, t.control, t.action))
                expected[{t.field, t.index}] = t.value;
            else
                ++skipped; // a page the device does not have
        }
        return true;
    }));
    QLocale::setDefault(QLocale::system());
    QCOMPARE(skipped, FindDeviceModel(uint16_t(model))->Caps.Has(Cap::NoParktronic) ? 3 : 0);

    // Saved, loaded again, opened and confirmed untouched: the same file again.
    SettingsFile::Save(mk, afterFile);
    TMK reloaded;
    SettingsFile::Load(reloaded, afterFile);
    reloaded.LoadAllSections();
    Edit(reloaded, [&](TMK_SetParamsDlg &dlg) {
        [&] {
            QCOMPARE(dlg.findChild<TRadioGroup *>("rgapVel_N")->ItemIndex(), 2);
            QCOMPARE(dlg.findChild<QLineEdit *>("meIntenseNightTime")->text(), QStringLiteral("22:30"));
            QCOMPARE(dlg.findChild<QComboBox *>("cbResetPeriod1")->currentText(), QStringLiteral("7"));
        }();
        return true;
    });
    const QString againFile = dir.filePath("again.vorng");
    SettingsFile::Save(reloaded, againFile);
    QCOMPARE(TestEnv::ReadFile(againFile), TestEnv::ReadFile(afterFile));

    // The dump: the touched fields as expected, every other field as before.
    const QJsonObject before = Dump(beforeFile), after = Dump(afterFile);
    QVERIFY(!before.isEmpty() && before.keys() == after.keys());
    for (const QString &name : before.keys()) {
        QJsonValue want = before.value(name);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            if (it.key().first != name) continue;
            QJsonArray a = want.toArray();
            want = want.isArray() ? (a[it.key().second] = it.value(), QJsonValue(a)) : QJsonValue(it.value());
        }
        QVERIFY2(after.value(name) == want, qPrintable(name));
    }
}

QTEST_MAIN(TestOptionPages)
#include "tst_optionpages.moc"
