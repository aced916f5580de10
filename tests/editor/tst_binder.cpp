// The binder on its own: conversions, triggers, range errors, out-of-range values.

#include "base/Lang.h"
#include "editor/Binder.h"
#include "editor/Widgets.h"
#include "model/MK.h"
#include "FakePrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

class TestBinder : public QObject {
    Q_OBJECT
private slots:
    void percentFactorShowsOneDecimal_data();
    void percentFactorShowsOneDecimal();
    void scaledFieldsRoundHalfToEven_data();
    void scaledFieldsRoundHalfToEven();
    void rangeErrorKeepsTheField();
    void loadingNeverWrites();
    void outOfRangeValueIsShownAndKept();
    void arrowsOnlyRefusesTyping();
    void choiceWithoutItemShowsNothing();
    void invertedBitAndTable();
    void captionsFollowTheLanguage();
    void storeTriggers_data();
    void storeTriggers();
    void valueKinds_data();
    void valueKinds();
    void failedLoadLeavesLoadingOff();
    void rebuiltRowsAndRuleCaptions();

private:
    struct Env {
        TMK mk;
        QWidget host;
        TBinder binder{mk};
        QStringList errors;
        Env() {
            binder.reportError = [this](const QString &e) { errors << e; };
            host.setLayout(new QVBoxLayout);
        }
        void Show() {
            host.show();
            QApplication::setActiveWindow(&host);
            QVERIFY(QTest::qWaitForWindowActive(&host));
        }
    };
    // Types into a spin edit and leaves it, as a user would.
    static void TypeAndLeave(TSpinEdit *spin, QWidget *next, const QString &text) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
        next->setFocus();
    }
};

void TestBinder::percentFactorShowsOneDecimal_data() {
    QTest::addColumn<float>("factor");
    QTest::addColumn<double>("shown");
    QTest::newRow("1 is 0.0 %") << 1.0f << 0.0;
    QTest::newRow("nearest 1.1 is 10.0 %") << 1.1f << 10.0;
    QTest::newRow("a hair below 0.9 is -10.0 %") << std::nextafter(0.9f, 0.0f) << -10.0;
    QTest::newRow("nearest 0.9") << 0.9f << -10.0;
    QTest::newRow("1.015 shows 1.5") << 1.0149999f << 1.5;
    QTest::newRow("0.5 is -50.0 %") << 0.5f << -50.0;
}

void TestBinder::percentFactorShowsOneDecimal() {
    QFETCH(float, factor);
    QFETCH(double, shown);
    TMK mk;
    mk.SetFloat("VelocityCorr", factor);
    const TValueMap map = Map::PercentFactor("VelocityCorr");
    QCOMPARE(map.load(mk).toDouble(), shown);
    // Storing what is shown gives the factor for that percentage.
    map.store(mk, shown);
    QCOMPARE(mk.GetFloat("VelocityCorr"), float(shown / 100 + 1));
    QCOMPARE(map.load(mk).toDouble(), shown);
}

void TestBinder::scaledFieldsRoundHalfToEven_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("stored");
    QTest::newRow("x10 0.25 -> 2") << "AccCorr" << 10.0 << 0.25 << qint64(2);
    QTest::newRow("x10 0.35 -> 4") << "AccCorr" << 10.0 << 0.35 << qint64(4);
    QTest::newRow("x10 -0.7") << "AccCorr" << 10.0 << -0.7 << qint64(-7);
    QTest::newRow("/2 41 -> 20") << "VelocityLimit" << 0.5 << 41.0 << qint64(20);
    QTest::newRow("/2 43 -> 22") << "VelocityLimit" << 0.5 << 43.0 << qint64(22);
    QTest::newRow("x2 0.5") << "ForsCoefCarb" << 2.0 << 0.5 << qint64(1);
    QTest::newRow("x10 99.9") << "K100Manual" << 10.0 << 99.9 << qint64(999);
}

void TestBinder::scaledFieldsRoundHalfToEven() {
    QFETCH(QString, field);
    QFETCH(double, scale);
    QFETCH(double, value);
    QFETCH(qint64, stored);
    TMK mk;
    const QByteArray name = field.toLatin1();
    Map::Field(name.constData(), scale).store(mk, value);
    QCOMPARE(mk.Get(name.constData()), stored);
}

void TestBinder::rangeErrorKeepsTheField() {
    Env env;
    // A control whose bounds exceed its byte-wide field.
    auto *spin = env.binder.Spin({"seWide", {"Широкий", "Wide"}, Map::Field("TankLimit"), 0, 300}, &env.host);
    auto *other = env.binder.Check({"cbOther", {"Другой", "Other"}, Map::Bit("OptionBits", 3)}, &env.host);
    env.host.layout()->addWidget(spin);
    env.host.layout()->addWidget(other);
    env.Show();
    env.binder.LoadAll();
    QCOMPARE(spin->value(), 10.0);
    TypeAndLeave(spin, other, QStringLiteral("200"));
    QCOMPARE(env.errors.size(), 1);
    QVERIFY(env.errors.first().contains(QStringLiteral("TankLimit")));
    QCOMPARE(env.mk.Get("TankLimit"), 10);
    QCOMPARE(spin->value(), 10.0); // the control shows what the field still holds
    TypeAndLeave(spin, other, QStringLiteral("99"));
    QCOMPARE(env.mk.Get("TankLimit"), 99);
    QCOMPARE(env.errors.size(), 1);
}

void TestBinder::loadingNeverWrites() {
    Env env;
    env.mk.SetFloat("ExpenseCorr", 1.0000001f); // shows as 0.0 %, stores back as exactly 1
    auto *spin = env.binder.Spin({"seExpenseCorr", {"a", "a"}, Map::PercentFactor("ExpenseCorr"), -99, 999.9, 0.1, 1},
                                 &env.host);
    auto *combo = env.binder.Combo({"cbTankMode", {"b", "b"}, Map::Field("TankMode"), {{"0", "0"}, {"1", "1"}}}, &env.host);
    env.host.layout()->addWidget(spin);
    env.host.layout()->addWidget(combo);
    env.Show();
    const QByteArray before(reinterpret_cast<const char *>(env.mk.Working().data()), MKLayout::WorkingSize);
    env.binder.LoadAll();
    // Passing through without changing anything writes nothing.
    spin->setFocus();
    combo->setFocus();
    env.binder.FlushFocused();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(env.mk.Working().data()), MKLayout::WorkingSize), before);
}

void TestBinder::outOfRangeValueIsShownAndKept() {
    Env env;
    env.mk.Set("VelocityLimit", 120); // 240 km/h, above the control's 200
    auto *spin = env.binder.Spin({"seVelocityLimit", {"c", "c"}, Map::Field("VelocityLimit", 0.5), 40, 200, 2, 0, true},
                                 &env.host);
    env.host.layout()->addWidget(spin);
    env.Show();
    env.binder.LoadAll();
    QCOMPARE(spin->value(), 240.0);
    QCOMPARE(env.mk.Get("VelocityLimit"), 120);
    // The first step brings it back into bounds, and only then is it stored.
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Down);
    QCOMPARE(spin->value(), 200.0);
    env.binder.FlushFocused();
    QCOMPARE(env.mk.Get("VelocityLimit"), 100);
}

void TestBinder::arrowsOnlyRefusesTyping() {
    Env env;
    env.mk.Set("VelocityLimit", 20);
    auto *spin = env.binder.Spin({"seVelocityLimit", {"c", "c"}, Map::Field("VelocityLimit", 0.5), 40, 200, 2, 0, true},
                                 &env.host);
    auto *other = env.binder.Check({"cbOther", {"d", "d"}, Map::Bit("OptionBits", 3)}, &env.host);
    env.host.layout()->addWidget(spin);
    env.host.layout()->addWidget(other);
    env.Show();
    env.binder.LoadAll();
    QCOMPARE(spin->value(), 40.0); // stored 20 shows 40 km/h
    TypeAndLeave(spin, other, QStringLiteral("41"));
    QCOMPARE(spin->value(), 40.0);
    QCOMPARE(env.mk.Get("VelocityLimit"), 20);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Up);
    QCOMPARE(spin->value(), 42.0); // never 41
    other->setFocus();
    QCOMPARE(env.mk.Get("VelocityLimit"), 21);
}

void TestBinder::choiceWithoutItemShowsNothing() {
    Env env;
    env.mk.Set("VelocityMeth", 5); // written by a device with more sources
    auto *radio = env.binder.Radio({"rgVelocityMeth", {"e", "e"}, Map::Field("VelocityMeth"), {{"ЭБУ", "ECU"}, {"Датч.", "Sens."}}},
                                   &env.host);
    auto *combo = env.binder.Combo({"cbTankMode", {"b", "b"}, Map::Field("TankMode"), {{"0", "0"}, {"1", "1"}}}, &env.host);
    env.mk.Set("TankMode", -1);
    env.host.layout()->addWidget(radio);
    env.host.layout()->addWidget(combo);
    env.Show();
    env.binder.LoadAll();
    QCOMPARE(radio->ItemIndex(), -1);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(env.mk.Get("VelocityMeth"), 5);
    radio->Button(1)->click();
    QCOMPARE(env.mk.Get("VelocityMeth"), 1);
}

void TestBinder::invertedBitAndTable() {
    Env env;
    auto *box = env.binder.Check({"cbCorrTankByAcc", {"f", "f"}, Map::Bit("OptionBits", 17, true)}, &env.host);
    auto *coef = env.binder.Radio({"rgForsCoef", {"g", "g"}, Map::Table("ForsCoef", {1, 2, 4}, 2),
                                   {{"1", "1"}, {"2", "2"}, {"4", "4"}}}, &env.host);
    env.host.layout()->addWidget(box);
    env.host.layout()->addWidget(coef);
    env.Show();
    env.mk.Set("ForsCoef", 3); // no item of its own: the last one shows
    env.binder.LoadAll();
    QVERIFY(box->isChecked()); // bit 17 clear
    QCOMPARE(coef->ItemIndex(), 2);
    box->click();
    QVERIFY(env.mk.Bit("OptionBits", 17));
    box->click();
    QVERIFY(!env.mk.Bit("OptionBits", 17));
    coef->Button(1)->click();
    QCOMPARE(env.mk.Get("ForsCoef"), 2);
    coef->Button(2)->click();
    QCOMPARE(env.mk.Get("ForsCoef"), 4);
}

void TestBinder::captionsFollowTheLanguage() {
    Env env;
    auto *spin = env.binder.Spin({"seTimeCorr", {"Время (секунд в сутки)", "Tume (sec. per day)"}, Map::Field("TimeCorr"), -30, 30},
                                 &env.host);
    auto *radio = env.binder.Radio({"rgPrognozMeth", {"Прогноз пробега", "Mileage progn."}, Map::Field("PrognozMeth"),
                                    {{"Средн", "Aver."}, {"10 км", "10 km"}}}, &env.host);
    {
        TLangScope en(true);
        env.binder.ApplyCaptions();
        QCOMPARE(env.binder.Label(spin)->text(), QStringLiteral("Tume (sec. per day)"));
        QCOMPARE(env.binder.Label(spin)->objectName(), QStringLiteral("lTimeCorr"));
        QCOMPARE(radio->title(), QStringLiteral("Mileage progn."));
        QCOMPARE(radio->Items(), (QStringList{QStringLiteral("Aver."), QStringLiteral("10 km")}));
    }
    TLangScope ru(false);
    env.binder.ApplyCaptions();
    QCOMPARE(radio->Items(), (QStringList{QStringLiteral("Средн"), QStringLiteral("10 км")}));
}

void TestBinder::storeTriggers_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("radio group on losing focus, after its buttons were rebuilt") << "radio";
    QTest::newRow("check box on losing focus") << "check";
    QTest::newRow("spin edit on every change, while typing") << "spin";
}

void TestBinder::storeTriggers() {
    QFETCH(QString, kind);
    Env env;
    auto *other = env.binder.Check({"cbOther", {"d", "d"}, Map::Bit("OptionBits", 3)}, &env.host);
    QStringList sources{QStringLiteral("A"), QStringLiteral("B")};
    QWidget *control = nullptr;
    if (kind == QLatin1String("radio"))
        control = env.binder.Radio({.control = "rgPrognozMeth", .caption = {"r", "r"}, .map = Map::Field("PrognozMeth"),
                                    .build = [&] { return sources; }, .storeOn = TStoreOn::FocusOut},
                                   &env.host);
    else if (kind == QLatin1String("check"))
        control = env.binder.Check({.control = "cbGasOil", .caption = {"c", "c"}, .map = Map::Bit("OptionBits", 5),
                                    .storeOn = TStoreOn::FocusOut},
                                   &env.host);
    else
        control = env.binder.Spin({.control = "seR", .caption = {"s", "s"}, .map = Map::Field("TankLimit"), .min = 0,
                                   .max = 31, .storeOn = TStoreOn::Change},
                                  &env.host);
    env.host.layout()->addWidget(control);
    env.host.layout()->addWidget(other);
    env.Show();
    env.binder.LoadAll();
    if (auto *radio = qobject_cast<TRadioGroup *>(control)) {
        sources << QStringLiteral("C");
        env.binder.LoadAll(); // new buttons
        QCOMPARE(radio->Count(), 3);
        QApplication::processEvents(); // they show from the event loop
        QTest::mouseClick(radio->Button(2), Qt::LeftButton);
        QCOMPARE(env.mk.Get("PrognozMeth"), 0); // not before the focus leaves
        other->setFocus();
        QCOMPARE(env.mk.Get("PrognozMeth"), 2);
    } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!env.mk.Bit("OptionBits", 5));
        other->setFocus();
        QVERIFY(env.mk.Bit("OptionBits", 5));
    } else {
        control->setFocus();
        static_cast<TSpinEdit *>(control)->selectAll();
        QTest::keyClicks(control, QStringLiteral("2"));
        QCOMPARE(env.mk.Get("TankLimit"), 2);
        QTest::keyClicks(control, QStringLiteral("7"));
        QCOMPARE(env.mk.Get("TankLimit"), 27); // while the focus stays
    }
    QCOMPARE(env.errors, QStringList());
}

void TestBinder::valueKinds_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("index");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<bool>("refused");
    QTest::newRow("date 01.01.01") << "deTO" << "010101" << "TODate" << 0 << qint64(367) << false;
    QTest::newRow("date 09.01.12") << "deTO" << "090112" << "TODate" << 0 << qint64(4392) << false;
    QTest::newRow("date 31.02.12 is no date") << "deTO" << "310212" << "TODate" << 0 << qint64(4392) << true;
    QTest::newRow("date left incomplete") << "deTO" << "0901" << "TODate" << 0 << qint64(4392) << true;
    QTest::newRow("time 07:30") << "meIntenseDayTime" << "0730" << "IntenseDayTime" << 0 << qint64(450) << false;
    QTest::newRow("time 7:30 typed short") << "meIntenseDayTime" << "7:30" << "IntenseDayTime" << 0 << qint64(450)
                                          << false;
    // cp1251 bytes of "Ремень" then zeros; at most 15 characters with the zero byte after them.
    QTest::newRow("name") << "eGRMStrapCntK" << "Ремень" << "ServiceNames" << 48 << qint64(0xD0) << false;
    QTest::newRow("name cut to 15") << "eGRMStrapCntK" << "ABCDEFGHIJKLMNOPQ" << "ServiceNames" << 48 + 15
                                    << qint64(0) << false;
}

void TestBinder::valueKinds() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(qint64, stored);
    QFETCH(bool, refused);
    Env env;
    env.mk.Set("IntenseDayTime", 1500); // shows 01:00: hours wrap modulo 24
    auto *date = env.binder.Edit({.control = "deTO", .caption = {"Дата", "Date"}, .map = Map::Field("TODate"),
                                  .kind = TEditKind::Date},
                                 &env.host);
    auto *time = env.binder.Edit({.control = "meIntenseDayTime", .caption = {"Время", "Time"},
                                  .map = Map::Field("IntenseDayTime"), .kind = TEditKind::Time},
                                 &env.host);
    auto *name = env.binder.Edit({.control = "eGRMStrapCntK", .caption = {"Имя", "Name"},
                                  .map = Map::Text("ServiceNames", 48, 16), .maxLength = 15},
                                 &env.host);
    for (QWidget *w : {static_cast<QWidget *>(date), static_cast<QWidget *>(time), static_cast<QWidget *>(name)})
        env.host.layout()->addWidget(w);
    env.Show();
    env.binder.LoadAll();
    QCOMPARE(date->text(), QStringLiteral("09.01.12"));
    QCOMPARE(time->text(), QStringLiteral("01:00"));
    QCOMPARE(name->text(), QStringLiteral("Замена рем.ГРМ"));
    auto *edit = env.host.findChild<QLineEdit *>(control);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->home(false);
    for (const QChar c : typed) // any script, not only Latin-1
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    (edit == date ? name : date)->setFocus();
    const QByteArray f = field.toLatin1();
    QCOMPARE(env.mk.Get(f.constData(), index), stored);
    QCOMPARE(env.errors.size(), refused ? 1 : 0);
    if (control == QLatin1String("eGRMStrapCntK")) {
        const QByteArray bytes = env.mk.GetBytes("ServiceNames").mid(48, 16);
        QCOMPARE(bytes.indexOf('\0'), std::min(int(typed.size()), 15));
        QVERIFY(bytes.mid(bytes.indexOf('\0')).count('\0') == 16 - bytes.indexOf('\0'));
    }
}

void TestBinder::failedLoadLeavesLoadingOff() {
    Env env;
    env.mk.Set("TODate", 0); // no date: it cannot be shown
    auto *date = env.binder.Edit({.control = "deTO", .caption = {"Дата", "Date"}, .map = Map::Field("TODate"),
                                  .kind = TEditKind::Date},
                                 &env.host);
    auto *box = env.binder.Check({"cbOther", {"d", "d"}, Map::Bit("OptionBits", 3)}, &env.host);
    env.host.layout()->addWidget(date);
    env.host.layout()->addWidget(box);
    env.Show();
    const QByteArray before(reinterpret_cast<const char *>(env.mk.Working().data()), MKLayout::WorkingSize);
    env.binder.LoadAll();
    QCOMPARE(env.errors.size(), 1);
    QVERIFY(env.errors.first().startsWith(QStringLiteral("deTO")));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(env.mk.Working().data()), MKLayout::WorkingSize), before);
    // The controls after it were loaded, and a user's change is stored again.
    box->click();
    QVERIFY(env.mk.Bit("OptionBits", 3));
}

void TestBinder::rebuiltRowsAndRuleCaptions() {
    Env env;
    // Rows removed and built again (the x1 display boxes follow the protocol) leave no
    // bindings behind.
    for (int round = 0; round < 3; ++round) {
        QList<QCheckBox *> boxes;
        for (int i = 0; i < 40; ++i)
            boxes << env.binder.Check({.control = "cbShowDisp_1", .caption = {"x", "x"}, .map = Map::MaskBit("ShowDisp1", i)},
                                      &env.host);
        QCOMPARE(env.binder.Count(), 40);
        env.binder.LoadAll();
        qDeleteAll(boxes);
        QCOMPARE(env.binder.Count(), 0);
    }
    // A caption a rule computes survives the language refresh.
    QString ruled = QStringLiteral("T cyl., C");
    auto *spin = env.binder.Spin({.control = "seLiqTemperLimit", .caption = {"", ""}, .map = Map::Field("LiqTemperLimit"),
                                  .min = 30, .max = 150, .captionFn = [&] { return ruled; }},
                                 &env.host);
    TLangScope en(true);
    env.binder.ApplyCaptions();
    QCOMPARE(env.binder.Label(spin)->text(), ruled);
    ruled = QStringLiteral("T coolant, C");
    env.binder.RefreshCaption(spin);
    QCOMPARE(env.binder.Label(spin)->text(), ruled);
}

QTEST_MAIN(TestBinder)
#include "tst_binder.moc"
