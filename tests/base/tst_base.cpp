#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/IniFile.h"
#include "base/Lang.h"
#include "base/Rounding.h"
#include "TestEnv.h"

#include <QTemporaryDir>
#include <QtTest>

class TestBase : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void littleEndian();
    void cp1251RoundTripsEveryByte();
    void cp1251Texts_data();
    void cp1251Texts();
    void bilingualPick();
    void iniReadsAndWrites();
    void iniKeepsForeignLinesAndCase();
    void iniKeepsUnknownBytes_data();
    void iniKeepsUnknownBytes();
    void iniBooleansAreOneAndZero_data();
    void iniBooleansAreOneAndZero();
};

void TestBase::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("3.5") << 3.5 << qint64(4);
    QTest::newRow("-0.5") << -0.5 << qint64(0);
    QTest::newRow("-1.5") << -1.5 << qint64(-2);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("2.4999") << 2.4999 << qint64(2);
    QTest::newRow("2.5001") << 2.5001 << qint64(3);
    QTest::newRow("-7.6") << -7.6 << qint64(-8);
    QTest::newRow("huge") << 1e30 << std::numeric_limits<qint64>::max();
    QTest::newRow("-huge") << -1e30 << std::numeric_limits<qint64>::min();
    QTest::newRow("nan") << std::nan("") << qint64(0);
}

void TestBase::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QCOMPARE(RoundHalfEven(value), expected);
}

void TestBase::littleEndian() {
    uint8_t buf[8] = {};
    LE::Put<uint16_t>(buf, 0x1234);
    QCOMPARE(buf[0], uint8_t(0x34));
    QCOMPARE(buf[1], uint8_t(0x12));
    LE::Put<int32_t>(buf + 2, -2);
    QCOMPARE(LE::Get<int32_t>(buf + 2), -2);
    QCOMPARE(LE::Get<uint32_t>(buf + 2), 0xFFFFFFFEu);
    QCOMPARE(LE::Get<int16_t>(buf), int16_t(0x1234));
    LE::PutFloat(buf, 1.0f);
    QCOMPARE(LE::Get<uint32_t>(buf), 0x3F800000u);
    QCOMPARE(LE::GetFloat(buf), 1.0f);
}

void TestBase::cp1251RoundTripsEveryByte() {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i) all[i] = char(i);
    QCOMPARE(Cp1251::Encode(Cp1251::Decode(all)), all);
}

void TestBase::cp1251Texts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Inject. TS") << QByteArray("Inject. TS");
    QTest::newRow("cyrillic") << QStringLiteral("ТО форсунок") << QByteArray("\xD2\xCE \xF4\xEE\xF0\xF1\xF3\xED\xEE\xEA");
    QTest::newRow("yo") << QStringLiteral("Ёё") << QByteArray("\xA8\xB8");
    QTest::newRow("no form") << QStringLiteral("a€b中") << QByteArray("a\x88" "b?");
}

void TestBase::cp1251Texts() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1251::Encode(text), bytes);
    if (!text.contains(QChar(0x4E2D))) QCOMPARE(Cp1251::Decode(bytes), text);
}

void TestBase::bilingualPick() {
    const TBiText t{"Шаг 1", "Step 1"};
    {
        TLangScope en(true);
        QCOMPARE(t.text(), QStringLiteral("Step 1"));
        QCOMPARE(Bi("Да", "Yes"), QStringLiteral("Yes"));
    }
    TLangScope ru(false);
    QCOMPARE(t.text(), QStringLiteral("Шаг 1"));
}

void TestBase::iniReadsAndWrites() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    {
        TIniFile ini(path);
        QCOMPARE(ini.ReadInteger("RS232", "Port", 7), 7);
        ini.WriteInteger("RS232", "Port", 3);
        ini.WriteInteger("MainWindow", "Left", -12);
        ini.WriteString("RS232", "Note", "x=y");
        QCOMPARE(ini.ReadInteger("RS232", "Port", 0), 3); // visible before it is written
    }
    TIniFile again(path);
    QCOMPARE(again.ReadInteger("rs232", "PORT", 0), 3);
    QCOMPARE(again.ReadInteger("MainWindow", "Left", 0), -12);
    QCOMPARE(again.ReadString("RS232", "Note", ""), QStringLiteral("x=y"));
    QCOMPARE(again.ReadInteger("RS232", "Note", 5), 5); // not a number: default
    QCOMPARE(TestEnv::ReadFile(path), QByteArray("[RS232]\nPort=3\nNote=x=y\n[MainWindow]\nLeft=-12\n"));
}

void TestBase::iniKeepsForeignLinesAndCase() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.ini"));
    TestEnv::WriteFile(path, "; comment\r\n[Common]\r\nOther=abc\r\n\r\n[Foreign]\r\nKey=1\r\n");
    {
        TIniFile ini(path);
        ini.WriteBool("common", "EnglishVersion", true);
        ini.WriteString("Common", "other", "def");
    }
    QCOMPARE(TestEnv::ReadFile(path),
             QByteArray("; comment\r\n[Common]\r\nother=def\r\nEnglishVersion=1\r\n\r\n[Foreign]\r\nKey=1\r\n"));
}

void TestBase::iniKeepsUnknownBytes_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("expected"); // after Port=3 is written
    // A comment in cp1251 ("; Настройки") is no UTF-8: it must come back as it was.
    const QByteArray cp1251 = "; \xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8";
    QTest::newRow("cp1251 comment, LF") << cp1251 + "\n[RS232]\nPort=1\n" << cp1251 + "\n[RS232]\nPort=3\n";
    QTest::newRow("CR only") << QByteArray("[RS232]\rPort=1\r[Common]\rX=\xFF\r")
                             << QByteArray("[RS232]\rPort=3\r[Common]\rX=\xFF\r");
    QTest::newRow("CR LF, new key") << QByteArray("[RS232]\r\nBaud=9600\r\n")
                                    << QByteArray("[RS232]\r\nBaud=9600\r\nPort=3\r\n");
    QTest::newRow("mixed ends kept line by line") << QByteArray("; a\r\n[RS232]\nPort=1\r")
                                                  << QByteArray("; a\r\n[RS232]\nPort=3\r");
    QTest::newRow("last line without an end") << QByteArray("[Common]\nX=1") << QByteArray("[Common]\nX=1\n[RS232]\nPort=3\n");
}

void TestBase::iniKeepsUnknownBytes() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.ini"));
    TestEnv::WriteFile(path, file);
    {
        TIniFile ini(path);
        ini.WriteInteger("RS232", "Port", 3);
        QVERIFY(ini.UpdateFile());
    }
    QCOMPARE(TestEnv::ReadFile(path), expected);
    QCOMPARE(TIniFile(path).ReadInteger("RS232", "Port", 0), 3);
}

void TestBase::iniBooleansAreOneAndZero_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2 counts as true") << QByteArray("2") << false << true;
    QTest::newRow("text keeps default") << QByteArray("yes") << false << false;
    QTest::newRow("empty keeps default") << QByteArray("") << true << true;
}

void TestBase::iniBooleansAreOneAndZero() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.ini"));
    TestEnv::WriteFile(path, "[Common]\nEnglishVersion=" + stored + "\n");
    TIniFile ini(path);
    QCOMPARE(ini.ReadBool("Common", "EnglishVersion", def), expected);
    ini.WriteBool("Common", "EnglishVersion", !expected);
    ini.UpdateFile();
    QVERIFY(TestEnv::ReadFile(path).contains(expected ? "EnglishVersion=0\n" : "EnglishVersion=1\n"));
}

QTEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
