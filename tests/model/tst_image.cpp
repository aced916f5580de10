#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "model/MK.h"
#include "TestEnv.h"

#include <QtTest>
#include <set>

using namespace MKLayout;

namespace {

QByteArray ImageBytes(const TMK &mk) { return mk.Image.Bytes(); }

void SetImage(TMK &mk, const QByteArray &bytes) {
    mk.Image.Clear();
    mk.Image.Append(bytes);
}

void SetEntry(TMK &mk, int k, int address, int length) {
    QByteArray image = mk.Image.Bytes();
    auto *p = reinterpret_cast<uint8_t *>(image.data());
    LE::Put<uint16_t>(p + 4 * k, uint16_t(address));
    LE::Put<uint16_t>(p + 4 * k + 2, uint16_t(length));
    SetImage(mk, image);
}

int SectionImagePos(const TMK &mk, int k) { return mk.Header.sections[size_t(k)].address - 32; }

} // namespace

class TestImage : public QObject {
    Q_OBJECT
private slots:
    void layoutIsConsistent();
    void streamSemantics();
    void roundTripIsByteExact();
    void loadTakesLengthMinusFour_data();
    void loadTakesLengthMinusFour();
    void storeWritesFixedSizeAndExtends();
    void shortImageLoadsWhatIsThere();
    void addressBelowImageIsIgnored_data();
    void addressBelowImageIsIgnored();
    void shortHeaderReadsAsZero();
    void typedAccess();
    void defaults();
    void defaultServiceNames_data();
    void defaultServiceNames();
    void colours_data();
    void colours();
    void defaultColourSchemes();
    void dayNumbers_data();
    void dayNumbers();
    void dayNumbersRoundTrip();
    void editingProcedure();
    void editingProcedureRestoresOnError();
    void journalProcedure();
};

void TestImage::layoutIsConsistent() {
    QCOMPARE(WorkingSize, 2800);
    QCOMPARE(SnapshotSize, 2136);
    std::set<std::string> names;
    std::vector<std::pair<int, int>> spans;
    for (const TFieldDesc &f : Fields()) {
        QVERIFY2(names.insert(f.name).second, f.name);
        QVERIFY2(f.section >= 1 && f.section <= SectionCount, f.name);
        QVERIFY2(f.offset + f.ByteSize() <= SectionSize[f.section], f.name);
        spans.emplace_back(WorkingOffset(f), WorkingOffset(f) + f.ByteSize());
        QCOMPARE(FindField(f.name), &f);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) QVERIFY2(spans[i - 1].second <= spans[i].first, "fields overlap");
    QVERIFY(!FindField("NoSuchField"));
}

void TestImage::streamSemantics() {
    TImageStream s;
    s.Append("abc");
    s.Append("de");
    QCOMPARE(s.Bytes(), QByteArray("abcde"));
    uint8_t buf[8] = {};
    s.Seek(3);
    QCOMPARE(s.Read(buf, 8), 2); // stops at the end
    QCOMPARE(buf[0], uint8_t('d'));
    QCOMPARE(s.Position(), 5);
    QCOMPARE(s.Read(buf, 8), 0);
    s.Seek(7);
    s.Write(reinterpret_cast<const uint8_t *>("XY"), 2); // past the end: zero gap
    QCOMPARE(s.Bytes(), QByteArray("abcde\0\0XY", 9));
    s.Seek(1);
    s.Write(reinterpret_cast<const uint8_t *>("Q"), 1);
    QCOMPARE(s.Bytes(), QByteArray("aQcde\0\0XY", 9));
    QVERIFY_THROWS_EXCEPTION(RangeError, s.Seek(-1));
    s.Clear();
    QCOMPARE(s.Size(), 0);
    QCOMPARE(s.Position(), 0);
}

void TestImage::roundTripIsByteExact() {
    TMK mk;
    const QByteArray image = TestEnv::SampleImage();
    SetImage(mk, image);
    mk.LoadAllSections();
    for (int k = 1; k <= SectionCount; ++k) mk.StoreSection(k);
    QCOMPARE(ImageBytes(mk), image);
    // The working fields hold exactly the section bytes.
    for (int k = 1; k <= SectionCount; ++k) {
        const auto sec = mk.Section(k);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(sec.data()), qsizetype(sec.size())),
                 image.mid(SectionImagePos(mk, k), SectionSize[size_t(k)]));
    }
}

void TestImage::loadTakesLengthMinusFour_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("taken");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("3") << 3 << 0;
    QTest::newRow("4") << 4 << 0;
    QTest::newRow("5") << 5 << 1;
    QTest::newRow("fixed") << 84 << 80;
    QTest::newRow("fixed+4") << 88 << 84;
    QTest::newRow("longer") << 300 << 84;
}

void TestImage::loadTakesLengthMinusFour() {
    QFETCH(int, length);
    QFETCH(int, taken);
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    SetEntry(mk, 6, 1000, length);
    std::fill(mk.Section(6).begin(), mk.Section(6).end(), uint8_t(0xEE));
    const QByteArray before = ImageBytes(mk);
    mk.LoadSection(6);
    const auto sec = mk.Section(6);
    for (int i = 0; i < SectionSize[6]; ++i)
        QCOMPARE(sec[size_t(i)], i < taken ? uint8_t(before.at(1000 - 32 + i)) : uint8_t(0xEE));
    QCOMPARE(ImageBytes(mk), before); // loading never writes the image
}

void TestImage::storeWritesFixedSizeAndExtends() {
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    // A length-4 entry loads nothing, yet the store writes the whole fixed size.
    SetEntry(mk, 2, 3000, 4);
    const QByteArray before = ImageBytes(mk);
    std::fill(mk.Section(2).begin(), mk.Section(2).end(), uint8_t(0x5A));
    mk.LoadSection(2);
    QCOMPARE(mk.Section(2)[0], uint8_t(0x5A));
    mk.StoreSection(2);
    QByteArray after = ImageBytes(mk);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.mid(3000 - 32, 28), QByteArray(28, char(0x5A)));
    QCOMPARE(after.left(3000 - 32), before.left(3000 - 32));
    QCOMPARE(after.mid(3000 - 32 + 28), before.mid(3000 - 32 + 28));

    // ... except over the bytes of another section (section 11 ends at 2935).
    SetEntry(mk, 2, 2922, 4);
    mk.StoreSection(2);
    after = ImageBytes(mk);
    QCOMPARE(after.mid(2922 - 32, 14), before.mid(2922 - 32, 14));
    QCOMPARE(after.mid(2936 - 32, 14), QByteArray(14, char(0x5A)));

    // A section at the very end extends the image.
    SetEntry(mk, 11, 32 + 8128 - 10, 668);
    mk.StoreSection(11);
    QCOMPARE(mk.Image.Size(), 8128 - 10 + 664);
}

void TestImage::shortImageLoadsWhatIsThere() {
    TMK mk;
    QByteArray image = TestEnv::SampleImage().left(1000);
    SetImage(mk, image);
    SetEntry(mk, 9, 32 + 900, 292);
    std::fill(mk.Section(9).begin(), mk.Section(9).end(), uint8_t(0x11));
    mk.LoadSection(9);
    const auto sec = mk.Section(9);
    for (int i = 0; i < 100; ++i) QCOMPARE(sec[size_t(i)], uint8_t(mk.Image.At(900 + i)));
    for (int i = 100; i < 288; ++i) QCOMPARE(sec[size_t(i)], uint8_t(0x11));
    QCOMPARE(mk.Image.Size(), 1000);
}

void TestImage::addressBelowImageIsIgnored_data() {
    QTest::addColumn<int>("address");
    QTest::newRow("0") << 0;
    QTest::newRow("31") << 31;
}

void TestImage::addressBelowImageIsIgnored() {
    QFETCH(int, address);
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    SetEntry(mk, 3, address, 68);
    const QByteArray image = ImageBytes(mk);
    const QByteArray fields(reinterpret_cast<const char *>(mk.Section(3).data()), 64);
    mk.LoadSection(3);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Section(3).data()), 64), fields);
    mk.StoreSection(3);
    QCOMPARE(ImageBytes(mk), image);
    QVERIFY(!mk.SectionAddressValid(3));
    // Address 32 is image position 0: valid.
    SetEntry(mk, 3, 32, 68);
    mk.ReadHeader();
    QVERIFY(mk.SectionAddressValid(3));
}

void TestImage::shortHeaderReadsAsZero() {
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    mk.ReadHeader();
    QCOMPARE(int(mk.Header.sectionCount), 11);
    SetImage(mk, TestEnv::SampleImage().left(10));
    mk.ReadHeader();
    QCOMPARE(int(mk.Header.sectionCount), 11);
    QVERIFY(mk.Header.sections[2].address != 0); // bytes 8..9 present
    QCOMPARE(int(mk.Header.sections[3].address), 0);
    QCOMPARE(int(mk.Header.sections[11].length), 0);
    mk.LoadAllSections(); // nothing to take, nothing breaks
    QCOMPARE(mk.Image.Size(), 10);
}

void TestImage::typedAccess() {
    TMK mk;
    mk.Set("VelocityLimit", -128);
    QCOMPARE(mk.Get("VelocityLimit"), -128);
    QVERIFY_THROWS_EXCEPTION(RangeError, mk.Set("VelocityLimit", 128));
    QCOMPARE(mk.Get("VelocityLimit"), -128); // unchanged after a refusal
    QVERIFY_THROWS_EXCEPTION(RangeError, mk.Set("ProtocolIndex", -1));
    mk.Set("ProtocolIndex", 65535);
    QCOMPARE(mk.Get("ProtocolIndex"), 65535);
    mk.Set("Pids", 0x1234, 1); // big-endian on purpose
    const int pos = SectionStart(10) + 24 + 2;
    QCOMPARE(mk.Working()[size_t(pos)], uint8_t(0x12));
    QCOMPARE(mk.Working()[size_t(pos + 1)], uint8_t(0x34));
    QCOMPARE(mk.Get("Pids", 1), 0x1234);
    QVERIFY_THROWS_EXCEPTION(Error, mk.Get("Pids", 16));
    QVERIFY_THROWS_EXCEPTION(Error, mk.Get("NoSuchField"));
    mk.Set("AllPathStart", -5);
    QCOMPARE(mk.Get("AllPathStart"), -5);
    mk.Set("OptionBits", 0xFFFFFFFF);
    mk.SetBit("OptionBits", 17, false);
    QCOMPARE(mk.Get("OptionBits"), qint64(0xFFFDFFFF));
    QVERIFY(mk.Bit("OptionBits", 31));
    mk.SetBit("AllPathStart", 31, false); // signed word edited bit by bit
    QCOMPARE(mk.Get("AllPathStart"), qint64(0x7FFFFFFB));
    mk.SetFloat("VelocityCorr", 1.1f);
    QCOMPARE(mk.GetFloat("VelocityCorr"), 1.1f);
    QVERIFY_THROWS_EXCEPTION(Error, mk.GetFloat("VelocityLimit"));
    QVERIFY_THROWS_EXCEPTION(RangeError, mk.SetBytes("PidSupport", QByteArray(13, '\1')));
}

void TestImage::defaults() {
    TMK mk;
    QCOMPARE(mk.ModelCode, uint16_t(0x4000));
    QCOMPARE(mk.Image.Size(), 0);
    QCOMPARE(mk.Preview.size(), QSize(320, 240));
    // Section 3 and 4.
    QCOMPARE(mk.Get("Oil6L"), 1000);
    QCOMPARE(mk.Get("Lit43L"), 43);
    QCOMPARE(mk.Get("OilCalibrResArr", 6), 600);
    QCOMPARE(mk.Get("OilCalibrLitArr", 3), 18);
    QCOMPARE(mk.Get("OilCalibrQuant"), 7);
    QCOMPARE(mk.Get("TankContFull"), 50);
    QCOMPARE(mk.Get("TarirFlagFinish"), 1);
    QCOMPARE(mk.Get("TarirLeng"), 15);
    QCOMPARE(mk.Get("TarirLitres", 14), 16 + 3 * 14);
    QCOMPARE(mk.Get("TarirLitres", 15), 0);
    QCOMPARE(mk.Get("TarirUnits", 14), 700);
    // Section 5.
    QCOMPARE(mk.Get("GRMStrapCntK"), 45);
    QCOMPARE(mk.Get("TODate"), 4392);
    QCOMPARE(mk.Get("ServiceFlags"), 511);
    QCOMPARE(mk.Get("UniMeasADC1"), 1023);
    QCOMPARE(mk.Get("UniMeasDat1"), 90);
    // Section 6.
    QCOMPARE(mk.Get("OptionBits"), 1 << 10);
    QCOMPARE(mk.Get("VelocityLimit"), 40);
    QCOMPARE(mk.Get("RetarderOilTemperLimit"), 165);
    QCOMPARE(mk.Get("HVBTemperLimit"), 120);
    QCOMPARE(mk.Get("ForsCoef"), 1);
    QCOMPARE(mk.GetFloat("ExpenseCorr"), 1.0f);
    QCOMPARE(mk.GetFloat("GazExpenseCorr"), 1.0f);
    // Section 1.
    QCOMPARE(mk.Get("ResetPeriod0"), 0);
    QCOMPARE(mk.Get("ResetPeriod1"), -1);
    QCOMPARE(mk.Get("ResetPeriodOnly"), -1);
    // Section 7 with its two sample records.
    QCOMPARE(mk.Get("PriceExpense"), 250);
    QCOMPARE(mk.Get("PricePath"), 30);
    const QByteArray trip = mk.GetBytes("TripJournal");
    const QByteArray tank = mk.GetBytes("TankJournal");
    auto u16 = [](const QByteArray &b, int at) { return LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(b.constData()) + at); };
    auto u32 = [](const QByteArray &b, int at) { return LE::Get<uint32_t>(reinterpret_cast<const uint8_t *>(b.constData()) + at); };
    QCOMPARE(u16(trip, 20), uint16_t(497));
    QCOMPARE(int(trip.at(22)), 15);
    QCOMPARE(int(trip.at(23)), 11);
    QCOMPARE(u32(trip, 24), 123456u);
    QCOMPARE(u32(trip, 28), 10123u);
    QCOMPARE(u32(trip, 32), 1234u);
    QCOMPARE(u32(trip, 36), 12u);
    QCOMPARE(u16(tank, 0), uint16_t(622));
    QCOMPARE(int(tank.at(2)), 5);
    QCOMPARE(int(tank.at(3)), 1);
    QCOMPARE(u32(tank, 8), 100456u);
    QCOMPARE(u32(tank, 12), 5678u);
    QCOMPARE(u32(tank, 16), 56u);
    for (int slot = 0; slot < JournalSlots; ++slot) {
        if (slot != 1) QCOMPARE(int(trip.at(slot * 20 + 2)), 0);
        if (slot != 0) QCOMPARE(int(tank.at(slot * 20 + 2)), 0);
    }
    // Section 9.
    QCOMPARE(mk.Get("ActiveColorScheme"), 1);
    QCOMPARE(mk.Get("Disp4Params", 0), 4);
    QCOMPARE(mk.Get("Disp4Params", 23), 21);
    QCOMPARE(mk.Get("Disp6Params", 6), 13);
    QCOMPARE(mk.Get("Disp9Params", 26), 25);
    QCOMPARE(mk.Get("ShowDisp1", 0), qint64(0xFFFFFFFF));
    QCOMPARE(mk.Get("ShowDisp1", 1), 0);
    QCOMPARE(mk.Get("ShowDisp6"), 1);
    QCOMPARE(mk.Get("ShowDispS"), 511);
    QCOMPARE(mk.Get("ShowDisp4"), 63);
    QCOMPARE(mk.Get("ShowDisp9"), 7);
    QCOMPARE(mk.Get("ExpPBLim"), 8);
    QCOMPARE(mk.GetBytes("DayPalette") + mk.GetBytes("DayElements"),
             QByteArray(reinterpret_cast<const char *>(mk.DefaultDayScheme.data()), 44));
    QCOMPARE(mk.GetBytes("NightPalette") + mk.GetBytes("NightElements"),
             QByteArray(reinterpret_cast<const char *>(mk.DefaultNightScheme.data()), 44));
    // Sections 2, 8, 10, 11 are zero.
    for (int k : {2, 8, 10, 11})
        for (uint8_t b : mk.Section(k)) QCOMPARE(b, uint8_t(0));
}

void TestImage::defaultServiceNames_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("item2");
    QTest::newRow("ru") << false
                        << QStringList{QString(), QString(), QStringLiteral("ТО форсунок"),
                                       QStringLiteral("Замена рем.ГРМ"), QStringLiteral("Замена свечей")}
                        << QByteArray("\xD2\xCE \xF4\xEE\xF0\xF1\xF3\xED\xEE\xEA\0\0\0\0\0", 16);
    QTest::newRow("en") << true
                        << QStringList{QString(), QString(), QStringLiteral("Inject. TS"),
                                       QStringLiteral("GDM belt repl."), QStringLiteral("Spark pl.repl.")}
                        << QByteArray("Inject. TS\0\0\0\0\0\0", 16);
}

void TestImage::defaultServiceNames() {
    QFETCH(bool, english);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, item2);
    TLangScope lang(english);
    TMK mk;
    for (int i = 0; i < 5; ++i) QCOMPARE(mk.ServiceName(i), names[i]);
    QCOMPARE(mk.GetBytes("ServiceNames").mid(32, 16), item2);
    // Offsets 52, 68, 84 of section 5.
    const auto sec = mk.Section(5);
    QCOMPARE(Cp1251::Decode(QByteArray(reinterpret_cast<const char *>(sec.data() + 68), names[3].size())), names[3]);
    QCOMPARE(Cp1251::Decode(QByteArray(reinterpret_cast<const char *>(sec.data() + 84), names[4].size())), names[4]);
    // A name of 16 characters has no terminator; longer ones are cut.
    mk.SetServiceName(0, QStringLiteral("0123456789ABCDEFXYZ"));
    QCOMPARE(mk.ServiceName(0), QStringLiteral("0123456789ABCDEF"));
    QCOMPARE(mk.ServiceName(1), names[1]);
}

void TestImage::colours_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("packed");
    QTest::addColumn<QRgb>("rgb");
    QTest::newRow("white") << 31 << 31 << 31 << 0xFFFF << qRgb(255, 255, 255);
    QTest::newRow("g1") << 0 << 1 << 0 << 0x0060 << qRgb(0, (3 * 266294) >> 16, 0);
    QTest::newRow("black") << 0 << 0 << 0 << 0 << qRgb(0, 0, 0);
    QTest::newRow("orange") << 31 << 13 << 0 << ((31 << 11) | (13 << 6) | (1 << 5)) << qRgb(255, (27 * 266294) >> 16, 0);
    QTest::newRow("g even") << 1 << 2 << 3 << ((1 << 11) | (2 << 6) | 3) << qRgb(8, 16, 24);
}

void TestImage::colours() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(int, packed);
    QFETCH(QRgb, rgb);
    QCOMPARE(int(TMK::PackColour(r, g, b)), packed);
    QCOMPARE(TMK::UnpackColour(uint16_t(packed)), (TRgb5{r, g, b}));
    QCOMPARE(TMK::ColourToRgb(uint16_t(packed)), rgb);
}

void TestImage::defaultColourSchemes() {
    TMK mk;
    auto colour = [](const TColourScheme &s, int i) { return TMK::UnpackColour(LE::Get<uint16_t>(&s[size_t(2 * i)])); };
    QCOMPARE(colour(mk.DefaultDayScheme, 2), (TRgb5{31, 13, 0}));
    QCOMPARE(colour(mk.DefaultNightScheme, 1), (TRgb5{3, 12, 12}));
    QCOMPARE(colour(mk.DefaultNightScheme, 15), (TRgb5{13, 13, 22}));
    const std::vector<uint8_t> dayNormal(mk.DefaultDayScheme.begin() + 32, mk.DefaultDayScheme.end());
    QCOMPARE(dayNormal, (std::vector<uint8_t>{15, 4, 11, 12, 15, 15, 9, 10, 10, 0, 0, 0}));
    mk.SetDefaultColourSchemes(true);
    const std::vector<uint8_t> dayAlt(mk.DefaultDayScheme.begin() + 32, mk.DefaultDayScheme.end());
    // Eight indices change; the ninth keeps the value the normal variant left.
    QCOMPARE(dayAlt, (std::vector<uint8_t>{10, 4, 11, 12, 14, 14, 7, 11, 10, 0, 0, 0}));
    QCOMPARE(colour(mk.DefaultNightScheme, 8), (TRgb5{5, 1, 0}));
    QCOMPARE(colour(mk.DefaultNightScheme, 7), (TRgb5{16, 16, 16}));
    const std::vector<uint8_t> nightAlt(mk.DefaultNightScheme.begin() + 32, mk.DefaultNightScheme.end());
    QCOMPARE(nightAlt, (std::vector<uint8_t>{7, 0, 11, 0, 0, 15, 1, 12, 0, 0, 0, 0}));
}

void TestImage::dayNumbers_data() {
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("y");
    QTest::addColumn<uint>("number");
    QTest::newRow("1.1.2000") << 1 << 1 << 0 << 2u;
    QTest::newRow("9.1.2012") << 9 << 1 << 12 << 4392u;
    QTest::newRow("29.2.2012") << 29 << 2 << 12 << 4392u + 22 + 29;
    QTest::newRow("1.3.2001") << 1 << 3 << 1 << uint(365 + 0 + 31 + 28 + 1 + 1);
}

void TestImage::dayNumbers() {
    QFETCH(int, d);
    QFETCH(int, m);
    QFETCH(int, y);
    QFETCH(uint, number);
    QCOMPARE(TMK::DayNumber({d, m, y}), number);
    QCOMPARE(TMK::DecodeDayNumber(number), (TDate{d, m, y}));
}

void TestImage::dayNumbersRoundTrip() {
    // Every date from 2001 on survives encoding and decoding.
    for (int y = 1; y < 100; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= 28; ++d) {
                const TDate date{d, m, y};
                QCOMPARE(TMK::DecodeDayNumber(TMK::DayNumber(date)), date);
            }
    // Out-of-range numbers decode to something without crashing.
    for (uint32_t n : {0u, 1u, 0xFFFFFFFFu}) {
        const TDate t = TMK::DecodeDayNumber(n);
        QVERIFY(t.month >= 1 && t.month <= 12);
    }
}

void TestImage::editingProcedure() {
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    mk.LoadAllSections();
    mk.Set("ProtocolIndex", 1); // the catalogue is built for it
    mk.StoreSection(10);
    const QByteArray image = ImageBytes(mk);
    const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), WorkingSize);

    // Cancel: image and working fields exactly as before.
    const bool cancelled = mk.EditSettings([&] {
        mk.Set("VelocityLimit", 7);
        mk.Set("PriceGas", 99);
        return false;
    });
    QVERIFY(!cancelled);
    QCOMPARE(ImageBytes(mk), image);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mk.Working().data()), WorkingSize), working);

    // OK: sections 1 … 10 go to the image; section 11 is not stored.
    std::fill(mk.Section(11).begin(), mk.Section(11).end(), uint8_t(0x77));
    const bool confirmed = mk.EditSettings([&] {
        mk.Set("VelocityLimit", 7);
        return true;
    });
    QVERIFY(confirmed);
    const QByteArray after = ImageBytes(mk);
    const int pos = SectionImagePos(mk, 6) + 4;
    QCOMPARE(int(after.at(pos)), 7);
    QCOMPARE(after.mid(SectionImagePos(mk, 11), 664), image.mid(SectionImagePos(mk, 11), 664));
    QByteArray expected = image;
    expected[pos] = 7;
    QCOMPARE(after, expected);
}

void TestImage::editingProcedureRestoresOnError() {
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    mk.LoadAllSections();
    mk.Set("ProtocolIndex", 300); // beyond any list: the procedure stops before the editor
    mk.StoreSection(10);
    const QByteArray image = mk.Image.Bytes();
    QVERIFY_THROWS_EXCEPTION(Error, mk.EditSettings([] { return true; }));
    QCOMPARE(mk.Image.Bytes(), image);
    mk.Set("ProtocolIndex", 0);
    mk.StoreSection(10);
    const QByteArray snapshot = mk.Snapshot();
    QVERIFY_THROWS_EXCEPTION(Error, mk.EditSettings([&]() -> bool {
        mk.Set("TankLimit", 3);
        throw Error(QStringLiteral("boom"));
    }));
    QCOMPARE(mk.Snapshot(), snapshot);
}

void TestImage::journalProcedure() {
    TMK mk;
    SetImage(mk, TestEnv::SampleImage());
    mk.LoadAllSections();
    const QByteArray image = ImageBytes(mk);

    // Anything but OK stores nothing.
    mk.ViewJournals([&] {
        mk.Set("PriceTime", 5);
        std::fill(mk.Section(11).begin(), mk.Section(11).end(), uint8_t(0));
        return false;
    });
    QCOMPARE(ImageBytes(mk), image);

    // The journal procedure reloads 7 and 1 but not 11: the cleared error journal stays.
    uint8_t seenError = 0xFF;
    qint64 seenPrice = -1;
    mk.ViewJournals([&] {
        seenError = mk.Section(11)[20];
        seenPrice = mk.Get("PriceTime");
        mk.Set("PriceTime", 5);
        mk.Set("AllPathStart", 1234);
        return true;
    });
    QCOMPARE(seenError, uint8_t(0));
    QCOMPARE(seenPrice, qint64(LE::Get<int16_t>(reinterpret_cast<const uint8_t *>(image.constData()) +
                                                SectionImagePos(mk, 7) + 2)));
    const QByteArray after = ImageBytes(mk);
    QCOMPARE(LE::Get<int16_t>(reinterpret_cast<const uint8_t *>(after.constData()) + SectionImagePos(mk, 7) + 2), int16_t(5));
    QCOMPARE(LE::Get<int32_t>(reinterpret_cast<const uint8_t *>(after.constData()) + SectionImagePos(mk, 1) + 144), 1234);
    QCOMPARE(after.mid(SectionImagePos(mk, 11), 664), QByteArray(664, '\0'));
    // Section 6 untouched.
    QCOMPARE(after.mid(SectionImagePos(mk, 6), 84), image.mid(SectionImagePos(mk, 6), 84));
}

QTEST_GUILESS_MAIN(TestImage)
#include "tst_image.moc"
