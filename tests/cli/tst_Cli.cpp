// tripconf-cli as installers script it: the built binary, its JSON, tables and exit codes.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

TRun Run(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(TRIPCONF_CLI), args);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QJsonArray RunJson(const QStringList &args) {
    const TRun r = Run(args);
    if (r.exitCode != 0) qWarning() << r.err;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) qWarning() << error.errorString();
    return doc.array();
}

QStringList Field(const QJsonArray &items, const char *key) {
    QStringList out;
    for (const QJsonValue &v : items)
        out << v.toObject().value(QLatin1String(key)).toVariant().toString();
    return out;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void exitCodes_data();
    void exitCodes();
    void models();
    void protocols_data();
    void protocols();
    void protocolOptionsAndFlags();
    void params_data();
    void params();
    void menu_data();
    void menu();
    void tables_data();
    void tables();
};

void TestCli::exitCodes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("no command") << QStringList{} << 2 << "usage: tripconf-cli COMMAND";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "unknown command \"frobnicate\"";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
    QTest::newRow("protocols without model")
        << QStringList{"protocols"} << 2 << "usage: tripconf-cli protocols --model CODE";
    QTest::newRow("bad hex") << QStringList{"protocols", "--model", "0xZZ"} << 2 << "bad model code \"0xZZ\"";
    QTest::newRow("too large") << QStringList{"menu", "--model", "65536"} << 2 << "bad model code";
    QTest::newRow("signed") << QStringList{"menu", "--model", "+16384"} << 2 << "bad model code";
    QTest::newRow("missing value") << QStringList{"params", "--model"} << 2 << "--model needs a value";
    QTest::newRow("bad language") << QStringList{"params", "--lang", "de"} << 2 << "--lang is en or ru";
    QTest::newRow("unknown option") << QStringList{"models", "--verbose"} << 2 << "unknown option --verbose";
    QTest::newRow("stray argument") << QStringList{"models", "extra"} << 2 << "unexpected argument extra";
    QTest::newRow("unknown model") << QStringList{"protocols", "--model", "0x1234"} << 1
                                   << "unknown device model code 0x1234";
    QTest::newRow("decimal model") << QStringList{"protocols", "--model", "16384"} << 0 << "";
    QTest::newRow("equals form") << QStringList{"menu", "--model=0x4800", "--lang=ru"} << 0 << "";
}

void TestCli::exitCodes() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    const TRun r = Run(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    if (exitCode == 0) QVERIFY(!r.out.isEmpty());
}

void TestCli::models() {
    const QJsonArray models = RunJson({"models", "--json"});
    QCOMPARE(models.size(), 28);
    const QJsonObject first = models.first().toObject();
    QCOMPARE(first.value("code").toInt(), 0x4000);
    QCOMPARE(first.value("name").toString(), QStringLiteral("Model 01"));
    QCOMPARE(first.value("flags").toArray().toVariantList(),
             (QVariantList{"NoVoice", "NoGas", "HasAutoObd", "HasAddSystems", "OfferObd2eOnly", "OfferJan",
                           "OfferM74", "OfferBoschM7_9_7", "OfferBoschM7_0"}));
    QCOMPARE(models.last().toObject().value("code").toInt(), 0x8200);
    const QVariantList flags8080 = models.at(24).toObject().value("flags").toArray().toVariantList();
    QVERIFY(flags8080.contains("AltColourDefaults") && flags8080.contains("HasCan") &&
            flags8080.contains("OfferPrius5"));
}

void TestCli::protocols_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("0x4000 en") << "0x4000"
                               << "en" << QStringList{"Jan", "M74", "Bosch M7.9.7", "Bosch M7.0", "OBD2E"};
    QTest::newRow("0x4000 ru") << "0x4000"
                               << "ru" << QStringList{"Январь", "M74", "Бош M7.9.7", "Бош M7.0", "OBD2E"};
    QTest::newRow("0x5100") << "0x5100"
                            << "en" << QStringList{"10/11Corvet", "Bosch",  "OBD2Q",   "OBD2S",
                                                   "OBD2P",       "Delphi", "Delphi1", "Uni."};
    QTest::newRow("0x5100 ru") << "20736"
                               << "ru" << QStringList{"10/11Корвет", "Bosch",  "OBD2Q",   "OBD2S",
                                                      "OBD2P",       "Delphi", "Delphi1", "Универс."};
}

void TestCli::protocols() {
    QFETCH(QString, model);
    QFETCH(QString, lang);
    QFETCH(QStringList, names);
    const QJsonArray list = RunJson({"protocols", "--model", model, "--lang", lang, "--json"});
    QCOMPARE(Field(list, "name"), names);
    for (int i = 0; i < list.size(); ++i)
        QCOMPARE(list[i].toObject().value("number").toInt(), i);
}

void TestCli::protocolOptionsAndFlags() {
    const QJsonArray list = RunJson({"protocols", "--model", "0x8000", "--json"});
    QCOMPARE(list.size(), 84);
    QJsonObject honda, jan, can;
    for (const QJsonValue &v : list) {
        const QJsonObject o = v.toObject();
        if (o.value("kind").toInt() == 151) honda = o;
        if (o.value("kind").toInt() == 41) jan = o;
        if (o.value("kind").toInt() == 1) can = o;
    }
    const QJsonObject hondaAdd1{
        {"slot", "Add1"}, {"caption", "Type"}, {"count", 2}, {"values", QJsonArray{"2", "1"}}};
    QCOMPARE(honda.value("options").toArray(), QJsonArray{hondaAdd1});
    QCOMPARE(jan.value("dispParams").toArray().size(), 22);
    QCOMPARE(jan.value("units").toArray(), (QJsonArray{8, 9, 12}));
    QCOMPARE(jan.value("faultFormat").toInt(), 1);
    const QJsonObject flags = jan.value("flags").toObject();
    QCOMPARE(flags.keys(),
             (QStringList{"EcuTankSensors", "HasAddCooling", "HasAirTempChoice", "HasAtOilTemp",
                          "HasBatteryVoltage", "HasCoolantTemp", "HasEngineOilTemp", "HasFanControl",
                          "HasFaults", "HasLightsInfo", "HasTrimInfo", "IsHybrid"}));
    QVERIFY(flags.value("HasFanControl").toBool() && flags.value("HasCoolantTemp").toBool());
    QCOMPARE(flags.value("EcuTankSensors").toInt(), 0);
    const QJsonArray canOptions = can.value("options").toArray();
    QCOMPARE(Field(canOptions, "slot"), (QStringList{"Add1", "Add2", "Add3", "Add4"}));
    QCOMPARE(canOptions[3].toObject().value("count").toInt(), 51);
    QCOMPARE(canOptions[3].toObject().value("values").toArray().size(), 51);
    QCOMPARE(can.value("flags").toObject().value("EcuTankSensors").toInt(), 3);
}

void TestCli::params_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("code");
    QTest::addColumn<QJsonObject>("expected");
    QTest::newRow("default model, TMomentaryExpenseK prepared")
        << QStringList{} << 63 << 14
        << QJsonObject{{"class", "TMomentaryExpenseK"},
                       {"max", 800},
                       {"maxText", "80.0"},
                       {"minText", "0.0"},
                       {"sampleText", " 10.0"},
                       {"unitX4", "л/100"},
                       {"decimals", 1},
                       {"width", 5},
                       {"hasBar", true}};
    QTest::newRow("power reserve, ru") << QStringList{"--model", "0x5000", "--lang", "ru"} << 63 << 9
                                       << QJsonObject{{"class", "TPrognoz"},
                                                      {"name", "Запас хода"},
                                                      {"listLabel", "Запас Хд,km"},
                                                      {"hasBar", false}};
    QTest::newRow("lights flag in 11")
        << QStringList{"--model", "0x4010"} << 63 << 11
        << QJsonObject{{"class", "TLightsFlag"}, {"sampleText", "1"}, {"title", "LowBmCntr"}};
    QTest::newRow("TUOZ") << QStringList{} << 63 << 25
                          << QJsonObject{{"minText", "-84.0"},
                                         {"maxText", "84.0"},
                                         {"labelX9", "IgnAngl"},
                                         {"unitX9", "degrees"},
                                         {"min", -840}};
}

void TestCli::params() {
    QFETCH(QStringList, args);
    QFETCH(int, count);
    QFETCH(int, code);
    QFETCH(QJsonObject, expected);
    const QJsonArray set = RunJson(QStringList{"params", "--json"} + args);
    QCOMPARE(set.size(), count);
    QCOMPARE(set.first().toObject().value("class").toString(), QStringLiteral("TVelocity"));
    QJsonObject found;
    for (const QJsonValue &v : set)
        if (v.toObject().value("code").toInt() == code) found = v.toObject();
    QCOMPARE(found.size(), 17);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(found.value(it.key()), it.value());
}

void TestCli::menu_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("last");
    QTest::newRow("default: NoVoice, NoGas") << QStringList{} << "FlagSoundMenu" << 25 << "EBUInitMenu";
    QTest::newRow("0x4200 lights control")
        << QStringList{"--model", "0x4200"} << "LightsOnMenu" << 32 << "InGasTankMenu";
    QTest::newRow("0x4800 no parking radar")
        << QStringList{"--model", "0x4800"} << "ParkOffMenu" << -1 << "InGasTankMenu";
    QTest::newRow("0x4400 with voice")
        << QStringList{"--model", "0x4400", "--lang", "ru"} << "ParkOffMenu" << 141 << "InGasTankMenu";
}

void TestCli::menu() {
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QFETCH(int, number);
    QFETCH(QString, last);
    const QJsonArray items = RunJson(QStringList{"menu", "--json"} + args);
    QVERIFY(!items.isEmpty());
    QCOMPARE(items.last().toObject().value("name").toString(), last);
    const qsizetype at = Field(items, "name").indexOf(name);
    QCOMPARE(at >= 0 ? items[at].toObject().value("number").toInt() : -1, number);
    QCOMPARE(items.first().toObject(),
             (QJsonObject{{"number", 1},
                          {"name", "VirtLockMenu"},
                          {"caption", args.contains("ru") ? "Вирт. замок Вкл/Откл" : "Virtual Lock On/Off"},
                          {"group", 0}}));
}

void TestCli::tables_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("line");
    QTest::newRow("models") << QStringList{"models"} << "0x4000  Model 01  NoVoice NoGas";
    QTest::newRow("protocols") << QStringList{"protocols", "--model", "0x4000", "--lang", "ru"}
                               << "0  Январь  (kind 41";
    QTest::newRow("params") << QStringList{"params"} << "TVelocity";
    QTest::newRow("menu") << QStringList{"menu", "--lang", "ru"} << "\"Заправка до полн.\"";
}

void TestCli::tables() {
    QFETCH(QStringList, args);
    QFETCH(QString, line);
    const TRun r = Run(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(line), qPrintable(r.out.left(400)));
    QVERIFY(!r.out.trimmed().startsWith(QLatin1Char('[')));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_Cli.moc"
