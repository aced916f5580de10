#include "model/MK.h"

#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "model/MenuItemsH.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace MKLayout;

namespace {

uint8_t *At(std::span<uint8_t> working, const TFieldDesc &f, int index) {
    return working.data() + WorkingOffset(f) + index * f.ElementSize();
}

void CheckIndex(const TFieldDesc &f, int index) {
    if (index < 0 || index >= f.count)
        throw Error(QStringLiteral("Field %1 has no element %2").arg(QLatin1String(f.name)).arg(index));
}

} // namespace

TMK::TMK() { SetDefaults(); }

// --- raw image -------------------------------------------------------------------

void TMK::ReadHeader() {
    // An image shorter than the header leaves the rest of it zero, so that no stale
    // section table from an earlier image is used.
    std::array<uint8_t, HeaderSize> raw{};
    Image.Seek(0);
    Image.Read(raw.data(), HeaderSize);
    Header.sectionCount = raw[0];
    Header.variant = raw[1];
    for (int k = 1; k <= SectionCount; ++k) {
        Header.sections[size_t(k)].address = LE::Get<uint16_t>(&raw[size_t(4 * k)]);
        Header.sections[size_t(k)].length = LE::Get<uint16_t>(&raw[size_t(4 * k + 2)]);
    }
}

bool TMK::SectionAddressValid(int k) const {
    return Header.sections[size_t(k)].address >= DeviceAddressOfImage;
}

void TMK::LoadSection(int k) {
    ReadHeader();
    if (!SectionAddressValid(k)) return;
    const TSectionEntry &e = Header.sections[size_t(k)];
    const int count = std::clamp(int(e.length) - 4, 0, SectionSize[size_t(k)]);
    Image.Seek(e.address - DeviceAddressOfImage);
    Image.Read(Section(k).data(), count);
}

void TMK::StoreSection(int k) {
    ReadHeader();
    if (!SectionAddressValid(k)) return;
    const TSectionEntry &e = Header.sections[size_t(k)];
    const int start = e.address - DeviceAddressOfImage;
    const int size = SectionSize[size_t(k)];
    const int own = std::clamp(int(e.length) - 4, 0, size);
    const uint8_t *data = Section(k).data();

    // The whole fixed size is stored, but the part past the section's own data never
    // over bytes that another section of the table holds: they would be sent to the
    // device as that section's data.
    std::vector<bool> keep(size_t(size), false);
    const auto *raw = reinterpret_cast<const uint8_t *>(Image.Bytes().constData());
    const int n = std::max(SectionCount, std::min<int>(Header.sectionCount, HeaderSize / 4 - 1));
    for (int j = 1; j <= n; ++j) {
        if (j == k || 4 * j + 4 > Image.Size()) continue;
        const int at = LE::Get<uint16_t>(raw + 4 * j) - DeviceAddressOfImage;
        const int length = LE::Get<uint16_t>(raw + 4 * j + 2);
        if (at < 0) continue;
        for (int i = std::max(at - start, own); i < std::min(at + length - start, size); ++i)
            keep[size_t(i)] = true;
    }
    Image.Seek(start);
    Image.Write(data, own);
    for (int i = own; i < size;) {
        int end = i;
        while (end < size && keep[size_t(end)] == keep[size_t(i)])
            ++end;
        if (!keep[size_t(i)]) {
            Image.Seek(start + i);
            Image.Write(data + i, end - i);
        }
        i = end;
    }
}

void TMK::LoadAllSections() {
    for (int k = 1; k <= SectionCount; ++k) LoadSection(k);
}

// --- working fields --------------------------------------------------------------

std::span<uint8_t> TMK::Section(int k) {
    if (k < 1 || k > SectionCount) throw Error(QStringLiteral("No section %1").arg(k));
    return std::span<uint8_t>(working_).subspan(size_t(SectionStart(k)), size_t(SectionSize[size_t(k)]));
}

std::span<const uint8_t> TMK::Section(int k) const { return const_cast<TMK *>(this)->Section(k); }

const TFieldDesc &TMK::Field(std::string_view name) {
    const TFieldDesc *f = FindField(name);
    if (!f) throw Error(QStringLiteral("No field named %1").arg(QLatin1String(name.data(), qsizetype(name.size()))));
    return *f;
}

int64_t TMK::Get(const TFieldDesc &f, std::span<const uint8_t> working, int index) {
    CheckIndex(f, index);
    const uint8_t *p = working.data() + WorkingOffset(f) + index * f.ElementSize();
    switch (f.type) {
    case TFieldType::U8:
    case TFieldType::Bytes: return p[0];
    case TFieldType::I8: return int8_t(p[0]);
    case TFieldType::U16: return LE::Get<uint16_t>(p);
    case TFieldType::I16: return LE::Get<int16_t>(p);
    case TFieldType::U16BE: return uint16_t((p[0] << 8) | p[1]);
    case TFieldType::U32: return LE::Get<uint32_t>(p);
    case TFieldType::I32: return LE::Get<int32_t>(p);
    case TFieldType::F32: break;
    }
    throw Error(QStringLiteral("Field %1 is not an integer").arg(QLatin1String(f.name)));
}

int64_t TMK::Get(std::string_view name, int index) const { return Get(Field(name), working_, index); }

void TMK::Set(std::string_view name, int64_t value, int index) {
    const TFieldDesc &f = Field(name);
    CheckIndex(f, index);
    if (f.type == TFieldType::F32) throw Error(QStringLiteral("Field %1 is not an integer").arg(QLatin1String(f.name)));
    if (value < f.MinValue() || value > f.MaxValue())
        throw RangeError(QStringLiteral("Range check error: %1 does not fit %2 (%3 … %4)")
                             .arg(value)
                             .arg(QLatin1String(f.name))
                             .arg(f.MinValue())
                             .arg(f.MaxValue()));
    uint8_t *p = At(working_, f, index);
    switch (f.type) {
    case TFieldType::U8:
    case TFieldType::I8:
    case TFieldType::Bytes: p[0] = uint8_t(value); break;
    case TFieldType::U16:
    case TFieldType::I16: LE::Put<uint16_t>(p, uint16_t(value)); break;
    case TFieldType::U16BE:
        p[0] = uint8_t(value >> 8);
        p[1] = uint8_t(value);
        break;
    case TFieldType::U32:
    case TFieldType::I32: LE::Put<uint32_t>(p, uint32_t(value)); break;
    case TFieldType::F32: break;
    }
}

float TMK::GetFloat(std::string_view name) const {
    const TFieldDesc &f = Field(name);
    if (f.type != TFieldType::F32) throw Error(QStringLiteral("Field %1 is not a float").arg(QLatin1String(f.name)));
    return LE::GetFloat(working_.data() + WorkingOffset(f));
}

void TMK::SetFloat(std::string_view name, float value) {
    const TFieldDesc &f = Field(name);
    if (f.type != TFieldType::F32) throw Error(QStringLiteral("Field %1 is not a float").arg(QLatin1String(f.name)));
    LE::PutFloat(working_.data() + WorkingOffset(f), value);
}

QByteArray TMK::GetBytes(std::string_view name) const {
    const TFieldDesc &f = Field(name);
    return QByteArray(reinterpret_cast<const char *>(working_.data() + WorkingOffset(f)), f.ByteSize());
}

void TMK::SetBytes(std::string_view name, const QByteArray &bytes) {
    const TFieldDesc &f = Field(name);
    if (bytes.size() > f.ByteSize())
        throw RangeError(QStringLiteral("Range check error: %1 bytes do not fit %2 (%3 bytes)")
                             .arg(bytes.size())
                             .arg(QLatin1String(f.name))
                             .arg(f.ByteSize()));
    std::memcpy(working_.data() + WorkingOffset(f), bytes.constData(), size_t(bytes.size()));
}

bool TMK::Bit(std::string_view name, int bit, int index) const {
    return (uint64_t(Get(name, index)) >> bit) & 1u;
}

void TMK::SetBit(std::string_view name, int bit, bool on, int index) {
    const TFieldDesc &f = Field(name);
    if (bit < 0 || bit >= 8 * f.ElementSize()) throw Error(QStringLiteral("Field %1 has no bit %2").arg(QLatin1String(f.name)).arg(bit));
    uint64_t v = uint64_t(Get(f, working_, index));
    v = on ? (v | (uint64_t(1) << bit)) : (v & ~(uint64_t(1) << bit));
    // Set() range-checks signed words; go through the raw bytes instead.
    uint8_t *p = At(working_, f, index);
    for (int i = 0; i < f.ElementSize(); ++i) p[i] = uint8_t(v >> (8 * i));
}

QByteArray TMK::Snapshot() const {
    return QByteArray(reinterpret_cast<const char *>(working_.data()), SnapshotSize);
}

void TMK::RestoreSnapshot(const QByteArray &snapshot) {
    if (snapshot.size() != SnapshotSize) throw Error(QStringLiteral("Snapshot of the wrong size"));
    std::memcpy(working_.data(), snapshot.constData(), size_t(SnapshotSize));
}

QString TMK::ServiceName(int item) const {
    if (item < 0 || item >= ServiceNames) throw Error(QStringLiteral("No service item %1").arg(item));
    const QByteArray all = GetBytes("ServiceNames");
    QByteArray name = all.mid(item * ServiceNameSize, ServiceNameSize);
    const qsizetype zero = name.indexOf('\0');
    if (zero >= 0) name.truncate(zero);
    return Cp1251::Decode(name);
}

void TMK::SetServiceName(int item, const QString &name) {
    if (item < 0 || item >= ServiceNames) throw Error(QStringLiteral("No service item %1").arg(item));
    QByteArray bytes = Cp1251::Encode(name).left(ServiceNameSize);
    bytes.resize(ServiceNameSize, '\0');
    std::memcpy(working_.data() + WorkingOffset(Field("ServiceNames")) + item * ServiceNameSize, bytes.constData(),
                size_t(ServiceNameSize));
}

// --- procedures --------------------------------------------------------------------

bool TMK::EditSettings(const std::function<bool()> &showEditor) {
    for (int k = 1; k <= 10; ++k) LoadSection(k);
    SetUpCatalogue();
    const QByteArray snapshot = Snapshot();
    BuildParameterList();
    BuildMenuItems();
    bool ok = false;
    try {
        ok = showEditor();
    } catch (...) {
        RestoreSnapshot(snapshot);
        throw;
    }
    if (ok) {
        for (int k = 1; k <= 10; ++k) StoreSection(k);
    } else {
        RestoreSnapshot(snapshot);
    }
    return ok;
}

bool TMK::ViewJournals(const std::function<bool()> &showViewer) {
    LoadSection(7);
    LoadSection(1);
    const bool ok = showViewer();
    if (ok) {
        StoreSection(7);
        StoreSection(1);
        StoreSection(11);
    }
    return ok;
}

// --- colours -------------------------------------------------------------------------

uint16_t TMK::PackColour(int r, int g, int b) {
    r &= 31;
    g &= 31;
    b &= 31;
    return uint16_t((r << 11) | (g << 6) | ((g & 1) << 5) | b);
}

TRgb5 TMK::UnpackColour(uint16_t colour) { return {(colour >> 11) & 31, (colour >> 6) & 31, colour & 31}; }

QRgb TMK::ColourToRgb(uint16_t colour) {
    const int r = (colour >> 11) & 31;
    const int g6 = (colour >> 5) & 63;
    const int b = colour & 31;
    return qRgb((r * 541052) >> 16, (g6 * 266294) >> 16, (b * 541052) >> 16);
}

namespace {

using Palette = std::array<TRgb5, 16>;

// clang-format off
constexpr Palette kDayPalette = {{
    {0,0,0}, {0,9,9}, {31,13,0}, {9,9,0}, {0,0,6}, {9,0,9}, {9,17,17}, {16,16,16},
    {12,5,3}, {31,0,0}, {0,31,0}, {31,31,0}, {0,0,31}, {31,0,31}, {0,31,31}, {31,31,31}}};
constexpr Palette kNightPalette = {{
    {0,0,0}, {3,12,12}, {31,13,0}, {9,9,0}, {0,0,6}, {9,0,9}, {9,17,17}, {29,29,29},
    {17,17,17}, {13,0,0}, {0,31,0}, {23,23,23}, {0,0,31}, {31,0,31}, {0,31,31}, {13,13,22}}};
constexpr Palette kNightPaletteAlt = {{
    {0,0,0}, {0,9,9}, {31,13,0}, {9,9,0}, {0,0,6}, {9,0,9}, {9,17,17}, {16,16,16},
    {5,1,0}, {13,0,0}, {0,31,0}, {21,21,21}, {0,0,31}, {31,0,31}, {0,31,31}, {13,13,22}}};
// clang-format on

// Element indices that the defaults set; the remaining ones keep their value.
constexpr uint8_t kDayElements[] = {15, 4, 11, 12, 15, 15, 9, 10, 10};
constexpr uint8_t kDayElementsAlt[] = {10, 4, 11, 12, 14, 14, 7, 11};
constexpr uint8_t kNightElements[] = {7, 0, 11, 4, 3, 6, 1, 15, 0};
constexpr uint8_t kNightElementsAlt[] = {7, 0, 11, 0, 0, 15, 1, 12, 0};

void FillScheme(TColourScheme &scheme, const Palette &palette, std::span<const uint8_t> elements) {
    for (size_t i = 0; i < palette.size(); ++i)
        LE::Put<uint16_t>(&scheme[2 * i], TMK::PackColour(palette[i].r, palette[i].g, palette[i].b));
    std::copy(elements.begin(), elements.end(), scheme.begin() + 32);
}

} // namespace

void TMK::SetDefaultColourSchemes(bool alternative) {
    FillScheme(DefaultDayScheme, kDayPalette, alternative ? std::span<const uint8_t>(kDayElementsAlt) : kDayElements);
    FillScheme(DefaultNightScheme, alternative ? kNightPaletteAlt : kNightPalette,
               alternative ? std::span<const uint8_t>(kNightElementsAlt) : kNightElements);
}

// --- dates ---------------------------------------------------------------------------

namespace {

int MonthLength(int month, int year) {
    static constexpr int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && year % 4 == 0) ? 29 : len[month - 1];
}

int LeapDaysBefore(int year) { return (year > 0 ? year - 1 : 2) / 4; }

} // namespace

uint32_t TMK::DayNumber(const TDate &date) {
    const int y = std::clamp(date.year, 0, 99);
    const int m = std::clamp(date.month, 1, 12);
    int days = 365 * y + LeapDaysBefore(y);
    for (int i = 1; i < m; ++i) days += MonthLength(i, y);
    return uint32_t(days + date.day + 1);
}

TDate TMK::DecodeDayNumber(uint32_t number) {
    const int64_t b = int64_t(number) - 1;
    const int y = int(4 * b / 1461);
    int64_t rest = b - 365 * int64_t(y) - LeapDaysBefore(y);
    int m = 1;
    while (m < 12 && rest > MonthLength(m, y)) {
        rest -= MonthLength(m, y);
        ++m;
    }
    return {int(rest), m, y};
}

// --- defaults --------------------------------------------------------------------------

void TMK::SetDefaults() {
    Image.Clear();
    SetDefaultColourSchemes(false);
    Preview = QImage(320, 240, QImage::Format_RGB32);
    Preview.fill(Qt::black);

    Header.variant = 0;

    std::memcpy(Section(9).data() + 80, DefaultDayScheme.data(), DefaultDayScheme.size());
    std::memcpy(Section(9).data() + 124, DefaultNightScheme.data(), DefaultNightScheme.size());
    Set("ActiveColorScheme", 1);
    static constexpr uint8_t disp4[] = {4, 14, 8, 9, 13, 10, 11, 4, 1, 2, 5, 9, 7, 12, 3, 6, 7, 10, 8, 12, 18, 25, 27, 21};
    static constexpr uint8_t disp6[] = {12, 17, 13, 10, 8, 9, 13, 17, 12, 10, 8, 9};
    static constexpr uint8_t disp9[] = {14, 5, 12, 1, 2, 6, 10, 8, 9, 11, 24, 13, 23, 18,
                                        17, 7, 19, 22, 1, 2, 3, 5, 14, 6, 20, 24, 25};
    for (int i = 0; i < 24; ++i) Set("Disp4Params", disp4[i], i);
    for (int i = 0; i < 12; ++i) Set("Disp6Params", disp6[i], i);
    for (int i = 0; i < 27; ++i) Set("Disp9Params", disp9[i], i);
    Set("ShowDisp1", 0xFFFFFFFF, 0);
    Set("ShowDisp1", 0, 1);
    Set("ShowDisp6", 1);
    Set("ShowDispS", 511);
    Set("ShowDisp4", 63);
    Set("ShowDisp9", 7);
    Set("ExpPBLim", 8);

    ModelCode = 0x4000;
    Set("ProtocolIndex", 0);
    SetUpCatalogue();
    // Built after the catalogue so that a second image does not inherit the flags of
    // an earlier model; the default model's flags do not change the parameter set.
    BuildParameterList();
    BuildMenuItems();
    FillHotMenuDefaults();

    SetSectionDefaults();
    SetDefaultServiceNames();
}

void TMK::SetSectionDefaults() {
    // Section 3, fuel tank.
    Set("Oil6L", 1000);
    Set("Lit6L", 6);
    Set("Oil43L", 10);
    Set("Lit43L", 43);
    for (int i = 0; i < 7; ++i) {
        Set("OilCalibrResArr", 100 * i, i);
        Set("OilCalibrLitArr", 6 * i, i);
    }
    Set("OilCalibrQuant", 7);
    Set("TankContFull", 50);
    Set("GazContFull", 50);

    // Section 4, tank table.
    Set("TarirFlagFinish", 1);
    Set("TarirLeng", 15);
    for (int r = 0; r < 15; ++r) {
        Set("TarirLitres", 16 + 3 * r, r);
        Set("TarirUnits", 50 * r, r);
    }

    // Section 7, prices and journals: every slot empty but one sample in each journal.
    Set("PriceExpense", 250);
    Set("PricePath", 30);
    auto putRecord = [this](const char *journal, int slot, int minutes, int day, int month, uint32_t travel,
                            uint32_t distance, uint32_t petrol, uint32_t gas) {
        std::array<uint8_t, JournalRecordSize> rec{};
        LE::Put<uint16_t>(&rec[0], uint16_t(minutes));
        rec[2] = uint8_t(day);
        rec[3] = uint8_t(month);
        LE::Put<uint32_t>(&rec[4], travel);
        LE::Put<uint32_t>(&rec[8], distance);
        LE::Put<uint32_t>(&rec[12], petrol);
        LE::Put<uint32_t>(&rec[16], gas);
        std::memcpy(working_.data() + WorkingOffset(Field(journal)) + slot * JournalRecordSize, rec.data(), rec.size());
    };
    for (int slot = 0; slot < JournalSlots; ++slot) {
        working_[size_t(WorkingOffset(Field("TripJournal")) + slot * JournalRecordSize + 2)] = 0;
        working_[size_t(WorkingOffset(Field("TankJournal")) + slot * JournalRecordSize + 2)] = 0;
    }
    putRecord("TripJournal", 1, 497, 15, 11, 123456, 10123, 1234, 12);
    putRecord("TankJournal", 0, 622, 5, 1, 123456, 100456, 5678, 56);

    // Section 6, limits.
    Set("OptionBits", 1 << 10);
    Set("VelocityLimit", 40);
    Set("RevolutionsLimit", 80);
    Set("TankLimit", 10);
    Set("LiqTemperLimit", 115);
    Set("CVTFDeteriorLim", 30);
    Set("UaccLowLimit", 115);
    Set("UaccHighLimit", 155);
    Set("OilAKPPTemperLimit", 110);
    Set("OilEngTemperLimit", 110);
    Set("VentTempLimit", 115);
    Set("StopVelocityLimit", 20);
    Set("Vel100", 100);
    Set("Vel100Down", 100);
    Set("RetarderOilTemperLimit", 165);
    Set("LiqTemperReady", 70);
    Set("InjTimeLimit", 9);
    Set("VAGSFilterLimit", 25);
    Set("InvTemperLimit", 120);
    Set("HVBTemperLimit", 120);
    SetFloat("ExpenseCorr", 1.0f);
    SetFloat("VelocityCorr", 1.0f);
    SetFloat("GazExpenseCorr", 1.0f);
    Set("ForsCoef", 1);

    // Section 1, totals.
    Set("ResetPeriod1", -1);
    Set("ResetPeriodOnly", -1);

    // Section 5, service.
    Set("AirFiltCntK", 15);
    Set("KPPOilCntK", 45);
    Set("ForsTOCntK", 30);
    Set("GRMStrapCntK", 45);
    Set("CoolLiqCntK", 30);
    Set("EngOilCntK", 15);
    Set("CandleCntK", 30);
    Set("TODate", 4392);
    Set("OSAGODate", 4392);
    Set("ServiceFlags", 511);
    Set("UniMeasADC1", 1023);
    Set("UniMeasDat1", 90);

    // Section 11 stays zero.
}

void TMK::SetDefaultServiceNames() {
    static constexpr TBiText names[] = {
        {"ТО форсунок", "Inject. TS"},
        {"Замена рем.ГРМ", "GDM belt repl."},
        {"Замена свечей", "Spark pl.repl."},
    };
    for (int i = 0; i < 3; ++i) SetServiceName(2 + i, names[i].text());
}

// --- catalogue-dependent parts ---------------------------------------------------------

void TMK::SetUpCatalogue() {
    const int64_t protocol = Get("ProtocolIndex");
    if (protocol > 255)
        throw RangeError(
            QStringLiteral("Range check error: protocol number %1 does not fit 0 … 255").arg(protocol));
    Prots().BuildProtocolList(ModelCode, uint8_t(protocol), Header.variant);
}

void TMK::BuildParameterList() {
    Parameters = BuildMeasParSet(Prots().Caps);
}

TMeasParBase *TMK::FindParameter(uint8_t code) const {
    return FindMeasPar(Parameters, code);
}

void TMK::BuildMenuItems() {
    ::BuildMenuItems();
}

void TMK::FillHotMenuDefaults() {
    constexpr int places = 10; // a page of the hot menu
    static constexpr const char *page0[] = {"FullTankMenu",  "ToTankMenu",        "ErrorsMenu",
                                            "FlagSoundMenu", "VelocityLimitMenu", "PrognozMenu",
                                            "ExpenseHHMenu"};
    static constexpr const char *page1[] = {"TripJournMenu", "InitReset0ParamsMenu", "InitReset1ParamsMenu",
                                            "ContinueTripMenu", "TankJournMenu"};
    static constexpr const char *page2[] = {"ParkOffMenu", "ParkSenseMenu_0", "ParkSpeedMenu_0",
                                            "ParkBeepTypeMenu", "ParkAlwaysOnMenu"};
    for (int i = 0; i < 4 * places; ++i)
        Set("HotMenu", 0, i);
    auto fill = [this](int page, std::span<const char *const> names) {
        int place = 0;
        for (const char *name : names) {
            const TMKMenuItem *item = FindMenuItemByName(QString::fromLatin1(name));
            Set("HotMenu", item ? item->Number : 0, page * places + place++);
        }
    };
    fill(0, page0);
    fill(1, page1);
    // Page 2 is the parking radar's.
    if (!Prots().Caps.NoParktronic) fill(2, page2);
}

void TMK::SetDefaultColourSchemes() {
    SetDefaultColourSchemes(Prots().Caps.AltColourDefaults);
}
