// The layout of the device's configuration memory, pinned against the tables of the
// device's documentation typed in here by hand: a field moved by one byte, a flipped
// signedness or a changed default would make the editor read and write the wrong bytes.

#include "base/Error.h"
#include "base/Lang.h"
#include "model/MK.h"
#include "TestEnv.h"

#include <QtTest>
#include <cstring>
#include <set>

namespace {

using T = TFieldType;

struct TRow {
    const char *name;
    int section;
    int offset;
    T type;
    int count;
};

// clang-format off
const TRow kLayout[] = {
    // 1 totals
    {"TotalsGeneral", 1, 0, T::U32, 4},     {"TotalsTrip", 1, 16, T::U32, 4},    {"TotalsReset1", 1, 32, T::U32, 4},
    {"TotalsJam", 1, 48, T::U32, 4},        {"TotalsNoJam", 1, 64, T::U32, 4},   {"TotalsReset2", 1, 80, T::U32, 4},
    {"TotalsPetrolOnly", 1, 96, T::U32, 3}, {"TotalsGasOnly", 1, 108, T::U32, 3},
    {"AllPathStart", 1, 144, T::I32, 1},    {"AllTimeStart", 1, 148, T::I32, 1},
    {"ResetPeriod0", 1, 152, T::I8, 1},     {"ResetPeriod1", 1, 153, T::I8, 1},  {"ResetPeriodOnly", 1, 158, T::I8, 1},
    // 2 parking radar
    {"ParkUse0", 2, 0, T::U8, 1},           {"ParkUse1", 2, 1, T::U8, 1},
    {"ParkSense0", 2, 2, T::I8, 1},         {"ParkSense1", 2, 3, T::I8, 1},
    {"ParkSpeed0", 2, 4, T::I8, 1},         {"ParkSpeed1", 2, 5, T::I8, 1},
    {"ParkMinLeng0", 2, 6, T::I8, 1},       {"ParkMinLeng1", 2, 7, T::I8, 1},
    {"ParkStopVel0", 2, 8, T::I8, 1},       {"ParkStopVel1", 2, 9, T::I8, 1},
    {"ParkStopLeng0", 2, 10, T::I8, 1},     {"ParkStopLeng1", 2, 11, T::I8, 1},
    {"ParkBeepType", 2, 14, T::I8, 1},      {"ParkStopLengBeep", 2, 15, T::I8, 1},
    {"ParkForwConstOff", 2, 16, T::I8, 1},  {"ParkFarkopLen", 2, 17, T::I8, 1},
    {"ParkProbesQntReal0", 2, 20, T::I8, 1}, {"ParkProbesQntReal1", 2, 21, T::I8, 1},
    // 3 fuel tank
    {"Oil6L", 3, 0, T::I16, 1},             {"Lit6L", 3, 2, T::I16, 1},          {"Oil43L", 3, 4, T::I16, 1},
    {"Lit43L", 3, 6, T::I16, 1},            {"OilCalibrResArr", 3, 8, T::I16, 7}, {"OilCalibrLitArr", 3, 22, T::I16, 7},
    {"OilCalibrQuant", 3, 36, T::U8, 1},    {"TankMode", 3, 37, T::I8, 1},       {"TankMeth", 3, 38, T::I8, 1},
    {"K100Manual", 3, 42, T::I16, 1},       {"TankContFull", 3, 44, T::I16, 1},  {"LinkGaps", 3, 46, T::U16, 1},
    {"GazContFull", 3, 56, T::I16, 1},
    // 4 tank table
    {"TarirFlagFinish", 4, 1, T::U8, 1},    {"TarirLeng", 4, 2, T::U8, 1},       {"TarirSlope", 4, 6, T::U8, 1},
    {"TarirIncline", 4, 7, T::U8, 1},       {"TarirLitres", 4, 8, T::U8, 68},    {"TarirUnits", 4, 144, T::I16, 68},
    // 5 service
    {"AirFiltCntK", 5, 0, T::I8, 1},        {"KPPOilCntK", 5, 1, T::I8, 1},      {"ForsTOCntK", 5, 2, T::I8, 1},
    {"GRMStrapCntK", 5, 3, T::I8, 1},       {"CoolLiqCntK", 5, 4, T::I8, 1},     {"EngOilCntK", 5, 5, T::I8, 1},
    {"CandleCntK", 5, 6, T::I8, 1},         {"AirWaterShow", 5, 7, T::I8, 1},    {"TODate", 5, 8, T::U32, 1},
    {"OSAGODate", 5, 12, T::U32, 1},        {"ServiceNames", 5, 20, T::Bytes, 80}, {"ServiceFlags", 5, 100, T::U16, 1},
    {"MotoHourLim", 5, 104, T::I16, 1},     {"UniMeasADC0", 5, 108, T::I16, 1},  {"UniMeasADC1", 5, 110, T::I16, 1},
    {"UniMeasDat0", 5, 112, T::I16, 1},     {"UniMeasDat1", 5, 114, T::I16, 1},  {"AccelCalibr", 5, 116, T::U8, 1},
    // 6 limits
    {"OptionBits", 6, 0, T::U32, 1},        {"VelocityLimit", 6, 4, T::I8, 1},   {"RevolutionsLimit", 6, 5, T::I8, 1},
    {"TankLimit", 6, 6, T::I8, 1},          {"VelMinForExp", 6, 7, T::I8, 1},    {"LiqTemperLimit", 6, 8, T::I16, 1},
    {"CVTFDeteriorLim", 6, 10, T::I16, 1},  {"UaccLowLimit", 6, 12, T::I16, 1},  {"UaccHighLimit", 6, 14, T::I16, 1},
    {"OilAKPPTemperLimit", 6, 16, T::I16, 1}, {"OilEngTemperLimit", 6, 18, T::I16, 1}, {"VentTempLimit", 6, 20, T::I16, 1},
    {"StopVelocityLimit", 6, 22, T::I16, 1}, {"Vel100", 6, 24, T::I16, 1},       {"Vel100Down", 6, 26, T::I16, 1},
    {"RetarderOilTemperLimit", 6, 28, T::I16, 1}, {"LiqTemperReady", 6, 30, T::I8, 1}, {"InjTimeLimit", 6, 31, T::I8, 1},
    {"VAGSFilterLimit", 6, 32, T::I8, 1},   {"InvTemperLimit", 6, 33, T::I8, 1}, {"HVBTemperLimit", 6, 34, T::I8, 1},
    {"AddCoolingTemper", 6, 35, T::I8, 1},  {"TrimLowLimit", 6, 36, T::I8, 1},   {"TrimHighLimit", 6, 37, T::I8, 1},
    {"ElEngTemperLimit", 6, 38, T::I16, 1}, {"VelocityMeth", 6, 40, T::I8, 1},   {"RevolutionsMeth", 6, 41, T::I8, 1},
    {"ExpenseMeth", 6, 42, T::I8, 1},       {"GasMeth", 6, 43, T::I8, 1},        {"UaccMeth", 6, 44, T::U8, 1},
    {"PrognozMeth", 6, 45, T::I8, 1},       {"TrimMeth", 6, 46, T::I8, 1},       {"AirTemperGetMeth", 6, 48, T::U8, 1},
    {"AccCorr", 6, 52, T::I8, 1},           {"AirTemperCorr", 6, 53, T::I8, 1},  {"TimeCorr", 6, 54, T::I8, 1},
    {"ExpenseCorr", 6, 56, T::F32, 1},      {"VelocityCorr", 6, 60, T::F32, 1},  {"GazExpenseCorr", 6, 64, T::F32, 1},
    {"LockTypeLevel", 6, 72, T::U8, 1},     {"ForsCoef", 6, 73, T::U8, 1},       {"ForsCoefCarb", 6, 74, T::I8, 1},
    {"HybrVentSpeedStep", 6, 75, T::I8, 1},
    // 7 prices and journals
    {"PriceExpense", 7, 0, T::I16, 1},      {"PriceTime", 7, 2, T::I16, 1},      {"PricePath", 7, 4, T::I16, 1},
    {"PriceGas", 7, 6, T::I16, 1},          {"TripShowFlag", 7, 8, T::U8, 1},    {"TripJournAuto", 7, 9, T::U8, 1},
    {"TripMinStop", 7, 10, T::I16, 1},      {"TripJournal", 7, 16, T::Bytes, 420}, {"TankJournal", 7, 436, T::Bytes, 420},
    // 8 alerts
    {"AlertModes", 8, 0, T::U8, 32},        {"AlarmVelSecNoSayMax", 8, 32, T::I8, 1},
    // 9 display
    {"DisplayBits", 9, 0, T::U32, 1},       {"Disp4Params", 9, 12, T::U8, 24},   {"Disp6Params", 9, 36, T::U8, 12},
    {"Disp9Params", 9, 48, T::U8, 27},      {"Disp1Params", 9, 76, T::U8, 4},    {"DayPalette", 9, 80, T::U16, 16},
    {"DayElements", 9, 112, T::U8, 12},     {"NightPalette", 9, 124, T::U16, 16}, {"NightElements", 9, 156, T::U8, 12},
    {"DispSpeed", 9, 170, T::I8, 1},        {"ActiveColorScheme", 9, 171, T::I8, 1}, {"HotMenu", 9, 172, T::U16, 40},
    {"Intense0", 9, 252, T::U8, 1},         {"Intense1", 9, 253, T::U8, 1},      {"SayEconomPeriod", 9, 254, T::I8, 1},
    {"SayParamPeriod", 9, 255, T::I8, 1},   {"SayHelloMode", 9, 256, T::I8, 1},  {"SoundVolume", 9, 257, T::I8, 1},
    {"FlagSound", 9, 258, T::I8, 1},        {"IntenseMeth", 9, 259, T::U8, 1},   {"IntenseDayTime", 9, 260, T::I16, 1},
    {"IntenseNightTime", 9, 262, T::I16, 1}, {"ShowDisp1", 9, 264, T::U32, 2},   {"ShowDisp6", 9, 272, T::U16, 1},
    {"ShowDispS", 9, 274, T::U16, 1},       {"ShowDisp4", 9, 276, T::U16, 1},    {"ShowDisp9", 9, 278, T::U16, 1},
    {"ExpPBLim", 9, 280, T::I16, 1},
    // 10 protocol
    {"ProtocolFlags", 10, 0, T::U32, 1},    {"ProtocolIndex", 10, 4, T::U16, 1}, {"ProtocolIndex2", 10, 6, T::I16, 1},
    {"ProtocolSelectMeth", 10, 8, T::U8, 1}, {"EcuAddress", 10, 9, T::U8, 1},    {"VirtualExpense", 10, 10, T::U8, 1},
    {"ProtTypeMain", 10, 12, T::U8, 1},     {"ProtTypeAdd1", 10, 13, T::U8, 1},  {"ProtTypeAdd2", 10, 14, T::U8, 1},
    {"ProtTypeAdd3", 10, 15, T::U8, 1},     {"ProtTypeAdd4", 10, 16, T::U8, 1},  {"ProtTypeAdd5", 10, 17, T::U8, 1},
    {"ProtTypeAdd6", 10, 18, T::U8, 1},     {"ProtTypeAdd7", 10, 19, T::U8, 1},  {"PidsConsult", 10, 20, T::U16, 1},
    {"StartThrottle", 10, 22, T::I16, 1},   {"Pids", 10, 24, T::U16BE, 16},
    // 11 error journal
    {"PidSupport", 11, 4, T::Bytes, 12},    {"ErrorRecords", 11, 16, T::Bytes, 644},
};
// clang-format on

const int kSectionSize[] = {0, 164, 28, 64, 420, 128, 84, 860, 40, 288, 60, 664};

int Size(T type) {
    switch (type) {
    case T::U16:
    case T::I16:
    case T::U16BE: return 2;
    case T::U32:
    case T::I32:
    case T::F32: return 4;
    default: return 1;
    }
}

bool Signed(T type) { return type == T::I8 || type == T::I16 || type == T::I32; }

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void everyElementLandsOnItsBytes();
    void defaultsMatchTheGoldenImage();
};

void TestLayout::everyElementLandsOnItsBytes() {
    // Section sizes, and the program knows exactly the fields of the table.
    for (int k = 1; k <= 11; ++k) QCOMPARE(MKLayout::SectionSize[size_t(k)], kSectionSize[k]);
    std::set<std::string> listed;
    for (const TRow &r : kLayout) listed.insert(r.name);
    for (const TFieldDesc &f : MKLayout::Fields()) QVERIFY2(listed.count(f.name), f.name);
    QCOMPARE(listed.size(), MKLayout::Fields().size());

    TMK mk;
    std::fill(mk.Working().begin(), mk.Working().end(), uint8_t(0));
    std::vector<uint8_t> expected(MKLayout::WorkingSize, 0);
    uint32_t seed = 0x9E3779B9;
    for (const TRow &r : kLayout) {
        int start = 0;
        for (int k = 1; k < r.section; ++k) start += kSectionSize[k];
        start += r.offset;
        QVERIFY2(r.offset + r.count * Size(r.type) <= kSectionSize[r.section], r.name);
        if (r.type == T::Bytes) {
            QByteArray bytes(r.count, 0);
            for (char &c : bytes) {
                seed = seed * 1664525u + 1013904223u;
                c = char(seed >> 24);
            }
            mk.SetBytes(r.name, bytes);
            std::memcpy(&expected[size_t(start)], bytes.constData(), size_t(r.count));
            continue;
        }
        for (int e = 0; e < r.count; ++e) {
            seed = seed * 1664525u + 1013904223u;
            const int size = Size(r.type);
            const int at = start + e * size;
            uint64_t raw = seed;
            if (r.type == T::F32) {
                const float value = float(int32_t(seed)) / 1024.0f;
                mk.SetFloat(r.name, value);
                std::memcpy(&raw, &value, 4);
            } else {
                // The top bit set: a negative value for a signed field, one that only an
                // unsigned field holds otherwise, so a flipped signedness is refused.
                raw |= uint64_t(1) << (8 * size - 1);
                raw &= size == 4 ? 0xFFFFFFFFu : (uint64_t(1) << (8 * size)) - 1;
                int64_t value = int64_t(raw);
                if (Signed(r.type)) value -= int64_t(1) << (8 * size);
                try {
                    mk.Set(r.name, value, e);
                } catch (const Error &err) {
                    QFAIL(qPrintable(QStringLiteral("%1[%2]: %3").arg(QLatin1String(r.name)).arg(e).arg(err.message())));
                }
            }
            for (int i = 0; i < size; ++i) {
                const int shift = r.type == T::U16BE ? 8 * (size - 1 - i) : 8 * i;
                expected[size_t(at + i)] = uint8_t(raw >> shift);
            }
        }
    }
    for (int i = 0; i < MKLayout::WorkingSize; ++i)
        if (mk.Working()[size_t(i)] != expected[size_t(i)])
            QFAIL(qPrintable(QStringLiteral("working byte %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(mk.Working()[size_t(i)])
                                 .arg(expected[size_t(i)])));
}

void TestLayout::defaultsMatchTheGoldenImage() {
    // A new image's working fields, Russian service names, model 0x4000; the golden file
    // was checked by hand against the documented defaults, byte by byte.
    TLangScope ru(false);
    TMK mk;
    const QByteArray golden = TestEnv::ReadFile(QStringLiteral(TRIPCONF_TEST_DATA "/defaults-4000-ru.bin"));
    QCOMPARE(golden.size(), MKLayout::WorkingSize);
    const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
    for (int i = 0; i < MKLayout::WorkingSize; ++i)
        if (working[i] != golden[i])
            QFAIL(qPrintable(QStringLiteral("default byte %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(uint8_t(working[i]))
                                 .arg(uint8_t(golden[i]))));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
