#include "base/Bytes.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "model/MK.h"
#include "model/SettingsFile.h"
#include "model/SettingsFileKey.h"
#include "TestEnv.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <QCryptographicHash>
#include <sys/stat.h>

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void keyTableIsPinned();
    void roundTrip();
    void scramblingRepeatsEvery4096Bytes();
    void twoByteFileSetsOnlyModelCode();
    void shortFileOverwritesFromStart();
    void undescribableFilesAreRefused_data();
    void undescribableFilesAreRefused();
    void pipesAreRefusedAtOnce();
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
    // A file that holds every section it lists but ends before the current image does:
    // the bytes past its end stay.
    const QByteArray sample = TestEnv::SampleImage();
    const int end = LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(sample.constData()) + 44) +
                    LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(sample.constData()) + 46) - 32;
    TMK mk;
    mk.Image.Append(QByteArray(8128, '\x55'));
    SettingsFile::Decode(mk, SettingsFile::Encode(0x4000, sample.left(end)));
    QCOMPARE(mk.Image.Size(), 8128);
    QCOMPARE(mk.Image.Bytes().left(end), sample.left(end));
    QCOMPARE(mk.Image.Bytes().mid(end), QByteArray(8128 - end, '\x55'));
}

namespace {

QByteArray WithTable(QByteArray image, std::initializer_list<std::pair<int, int>> entries, int count) {
    auto *p = reinterpret_cast<uint8_t *>(image.data());
    p[0] = uint8_t(count);
    int k = 1;
    for (auto [address, length] : entries) {
        LE::Put<uint16_t>(p + 4 * k, uint16_t(address));
        LE::Put<uint16_t>(p + 4 * k + 2, uint16_t(length));
        ++k;
    }
    return image;
}

} // namespace

void TestSettingsFile::undescribableFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("why");
    const QByteArray sample = TestEnv::SampleImage();
    // Section k of the sample: 92 + the sizes before it, length its size + 4.
    QTest::newRow("text file") << QByteArray("just some notes\n\n\n") << QStringLiteral("it holds 20 bytes, fewer than the model code");
    QTest::newRow("no sections") << WithTable(sample, {}, 0) << QStringLiteral("lists 0 sections");
    QTest::newRow("ten sections") << WithTable(sample, {}, 10) << QStringLiteral("lists 10 sections");
    QTest::newRow("fifteen entries") << WithTable(sample, {}, 15) << QStringLiteral("header holds only 14");
    QTest::newRow("length under 4") << WithTable(sample, {{92, 3}}, 11) << QStringLiteral("section 1 (address 92, length 3)");
    QTest::newRow("in the header") << WithTable(sample, {{88, 168}}, 11) << QStringLiteral("inside the header");
    QTest::newRow("before the image") << WithTable(sample, {{0, 168}}, 11) << QStringLiteral("inside the header");
    QTest::newRow("second half of the memory")
        << WithTable(sample, {{4000, 168}}, 11) << QStringLiteral("runs past the data (device addresses 92 … 4095)");
    QTest::newRow("2 overlaps 1") << WithTable(sample, {{92, 168}, {96, 32}}, 11)
                                  << QStringLiteral("sections 1 (address 92, length 168) and 2 (address 96, length 32) overlap");
    QTest::newRow("10 overlaps 11 by its last byte")
        << WithTable(sample, {{92, 168}, {260, 32}, {292, 68}, {360, 424}, {784, 132}, {916, 88}, {1004, 864},
                              {1868, 44}, {1912, 292}, {2204, 65}},
                     11)
        << QStringLiteral("sections 10 (address 2204, length 65) and 11 (address 2268, length 668) overlap");
    QTest::newRow("a twelfth entry over section 3")
        << WithTable(sample, {{92, 168}, {260, 32}, {292, 68}, {360, 424}, {784, 132}, {916, 88}, {1004, 864},
                              {1868, 44}, {1912, 292}, {2204, 64}, {2268, 668}, {300, 8}},
                     12)
        << QStringLiteral("sections 3 (address 292, length 68) and 12");
    QTest::newRow("file ends inside section 11") << sample.left(2900) << QStringLiteral("section 11");
}

void TestSettingsFile::undescribableFilesAreRefused() {
    QFETCH(QByteArray, image);
    QFETCH(QString, why);
    const TLangScope english(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("odd.vorng"));
    TestEnv::WriteFile(path, SettingsFile::Encode(0x5000, image));
    // Loaded over an earlier image: nothing of it may change.
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    const QByteArray before = mk.Image.Bytes();
    try {
        SettingsFile::Load(mk, path);
        QFAIL("loaded");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(path) && e.message().contains(why), qPrintable(e.message()));
    }
    QCOMPARE(mk.ModelCode, uint16_t(0x4000));
    QCOMPARE(mk.Image.Bytes(), before);
}

void TestSettingsFile::pipesAreRefusedAtOnce() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pipe.vorng"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    TMK mk;
    // Opening a pipe with no writer would wait for ever.
    QVERIFY_THROWS_EXCEPTION(Error, SettingsFile::Load(mk, path));
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
        const QByteArray before = mk.Image.Bytes();
        try {
            SettingsFile::Decode(mk, content);
        } catch (const Error &) {
            QVERIFY(!SettingsFile::Fault(content).isEmpty());
            QCOMPARE(mk.Image.Bytes(), before);
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
