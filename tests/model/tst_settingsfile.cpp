#include "base/Error.h"
#include "model/MK.h"
#include "model/SettingsFile.h"
#include "model/SettingsFileKey.h"
#include "TestEnv.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <QCryptographicHash>

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void keyTableIsPinned();
    void roundTrip();
    void scramblingRepeatsEvery4096Bytes();
    void twoByteFileSetsOnlyModelCode();
    void shortFileOverwritesFromStart();
    void tooShortFilesAreRefused_data();
    void tooShortFilesAreRefused();
    void missingFileIsAnError();
    void failedSaveKeepsTheOldFile();
    void anyFileLoadsSafely();
};

void TestSettingsFile::keyTableIsPinned() {
    // Changing the key would orphan every saved file.
    const QByteArray key(reinterpret_cast<const char *>(kSettingsFileKey.data()), 4096);
    QCOMPARE(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex(),
             QByteArray("f70a264d5a252d4f271228a9072626b36e11988671edb9144edfeb0aa4822540"));
    QCOMPARE(kSettingsFileKey[0], uint8_t(0xD1));
    QCOMPARE(kSettingsFileKey[1], uint8_t(0x68));
    QCOMPARE(kSettingsFileKey[4095], uint8_t(0xEA));
}

void TestSettingsFile::roundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.vorng"));
    TMK mk;
    mk.ModelCode = 0x8080;
    mk.Image.Append(TestEnv::SampleImage());
    SettingsFile::Save(mk, path);
    const QByteArray file = TestEnv::ReadFile(path);
    QCOMPARE(file.size(), mk.Image.Size() + 2);
    QCOMPARE(uint8_t(file.at(0)), uint8_t(0x80)); // model code little-endian, not scrambled
    QCOMPARE(uint8_t(file.at(1)), uint8_t(0x80));
    QCOMPARE(uint8_t(file.at(2)), uint8_t(mk.Image.At(0) ^ kSettingsFileKey[0]));

    TMK back;
    SettingsFile::Load(back, path);
    QCOMPARE(back.ModelCode, uint16_t(0x8080));
    QCOMPARE(back.Image.Bytes(), mk.Image.Bytes());
}

void TestSettingsFile::scramblingRepeatsEvery4096Bytes() {
    TMK mk;
    mk.Image.Append(QByteArray(8128, '\0'));
    const QByteArray file = SettingsFile::Encode(mk);
    QCOMPARE(uint8_t(file.at(2 + 4096)), kSettingsFileKey[0]);
    QCOMPARE(uint8_t(file.at(2 + 4095)), kSettingsFileKey[4095]);
    QCOMPARE(uint8_t(file.at(2 + 8127)), kSettingsFileKey[8127 - 4096]);
}

void TestSettingsFile::twoByteFileSetsOnlyModelCode() {
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    const QByteArray image = mk.Image.Bytes();
    SettingsFile::Decode(mk, QByteArray("\x34\x12", 2));
    QCOMPARE(mk.ModelCode, uint16_t(0x1234));
    QCOMPARE(mk.Image.Bytes(), image);
}

void TestSettingsFile::shortFileOverwritesFromStart() {
    TMK mk;
    mk.Image.Append(QByteArray(100, '\x55'));
    QByteArray file("\x00\x40", 2);
    file.append(char(0x01 ^ kSettingsFileKey[0]));
    file.append(char(0x02 ^ kSettingsFileKey[1]));
    SettingsFile::Decode(mk, file);
    QCOMPARE(mk.Image.Size(), 100);
    QCOMPARE(mk.Image.Bytes().left(3), QByteArray("\x01\x02\x55"));
}

void TestSettingsFile::tooShortFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("\x01");
}

void TestSettingsFile::tooShortFilesAreRefused() {
    QFETCH(QByteArray, content);
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    const QByteArray image = mk.Image.Bytes();
    QVERIFY_THROWS_EXCEPTION(Error, SettingsFile::Decode(mk, content));
    QCOMPARE(mk.ModelCode, uint16_t(0x4000));
    QCOMPARE(mk.Image.Bytes(), image);
}

void TestSettingsFile::missingFileIsAnError() {
    QTemporaryDir dir;
    TMK mk;
    try {
        SettingsFile::Load(mk, dir.filePath(QStringLiteral("missing.vorng")));
        QFAIL("no error");
    } catch (const Error &e) {
        QVERIFY(e.message().contains(QStringLiteral("missing.vorng")));
    }
}

void TestSettingsFile::failedSaveKeepsTheOldFile() {
    QTemporaryDir dir;
    // A directory stands where the file should go: the rename at the end fails even for root.
    const QString path = dir.filePath(QStringLiteral("busy.vorng"));
    QVERIFY(QDir().mkpath(path));
    TestEnv::WriteFile(path + QStringLiteral("/inside"), "old");
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    QVERIFY_THROWS_EXCEPTION(Error, SettingsFile::Save(mk, path));
    QCOMPARE(TestEnv::ReadFile(path + QStringLiteral("/inside")), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

void TestSettingsFile::anyFileLoadsSafely() {
    // Whatever a file holds, loading it and all sections stays inside the image and fields.
    QRandomGenerator rng(20261208);
    QList<int> sizes = {0, 1, 2, 3, 4, 47, 61, 62, 100, 4098, 8129, 8130, 8131, 20000};
    for (int i = 0; i < 150; ++i) sizes << int(rng.bounded(20001));
    for (int size : sizes) {
        QByteArray content(size, '\0');
        for (int i = 0; i < size; ++i) content[i] = char(rng.bounded(256));
        // Some files get plausible headers pointing near and past the end.
        if (size > 60 && (size % 3 == 0)) {
            for (int k = 1; k <= 11; ++k) {
                const int addr = int(rng.bounded(size + 200)) + 32;
                const uint8_t plain[4] = {uint8_t(addr), uint8_t(addr >> 8), uint8_t(rng.bounded(256)), uint8_t(rng.bounded(4))};
                for (int j = 0; j < 4; ++j) content[2 + 4 * k + j] = char(plain[j] ^ kSettingsFileKey[size_t(4 * k + j)]);
            }
        }
        TMK mk;
        try {
            SettingsFile::Decode(mk, content);
        } catch (const Error &) {
            QVERIFY(size < 2);
            continue;
        }
        QCOMPARE(mk.Image.Size(), size - 2);
        mk.LoadAllSections();
        for (int k = 1; k <= 11; ++k) mk.StoreSection(k);
        QVERIFY(mk.Image.Size() >= size - 2);
        QVERIFY(mk.Image.Size() <= 65535 - 32 + 860);
    }
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
