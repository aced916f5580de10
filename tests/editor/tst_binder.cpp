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

QTEST_MAIN(TestBinder)
#include "tst_binder.moc"
