#include "model/Journals.h"

#include "base/Bytes.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "base/Rounding.h"
#include "base/SafeFile.h"
#include "catalogue/ProtsH.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QLocale>
#include <algorithm>

using namespace MKLayout;

namespace Journals {

namespace {

QChar g_separator; // null: the system's

QString Dec(uint64_t value) {
    return QString::number(value);
}
QString Dec(int64_t value) {
    return QString::number(value);
}
QString Two(unsigned value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
QString Hex(uint64_t value, int minDigits) {
    return QStringLiteral("%1").arg(value, minDigits, 16, QLatin1Char('0')).toUpper();
}

// A named byte-array field of the working fields.
std::span<const uint8_t> Bytes(const TMK &mk, const char *name) {
    const TFieldDesc &f = TMK::Field(name);
    return mk.Working().subspan(size_t(WorkingOffset(f)), size_t(f.ByteSize()));
}

std::span<uint8_t> Bytes(TMK &mk, const char *name) {
    const TFieldDesc &f = TMK::Field(name);
    return mk.Working().subspan(size_t(WorkingOffset(f)), size_t(f.ByteSize()));
}

const char *JournalField(TJournal journal) {
    return journal == TJournal::Trip ? "TripJournal" : "TankJournal";
}

} // namespace

// --- numbers -----------------------------------------------------------------------

QChar DecimalSeparator() {
    if (!g_separator.isNull()) return g_separator;
    static const QChar system = [] {
        const QString point = QLocale::system().decimalPoint();
        return point.isEmpty() ? QLatin1Char('.') : point.at(0);
    }();
    return system;
}

void SetDecimalSeparator(QChar separator) {
    g_separator = separator;
}

TDecimalSeparatorScope::TDecimalSeparatorScope(QChar separator) : saved_(g_separator) {
    g_separator = separator;
}
TDecimalSeparatorScope::~TDecimalSeparatorScope() {
    g_separator = saved_;
}

QString Fixed(int64_t numerator, int64_t denominator, int decimals) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const bool negative = numerator < 0;
    const uint64_t a = negative ? uint64_t(0) - uint64_t(numerator) : uint64_t(numerator);
    const auto d = uint64_t(denominator);
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    // Whole part and fraction apart, so that only the remainder is scaled.
    uint64_t whole = a / d;
    const uint64_t rest = (a % d) * scale;
    uint64_t fraction = rest / d;
    if (2 * (rest % d) >= d) ++fraction; // halves away from zero
    if (fraction == scale) {
        ++whole;
        fraction = 0;
    }
    QString text;
    if (negative && (whole != 0 || fraction != 0)) text += QLatin1Char('-');
    text += Dec(whole);
    if (decimals > 0)
        text += DecimalSeparator() + QString::number(fraction).rightJustified(decimals, QLatin1Char('0'));
    return text;
}

// --- grids -------------------------------------------------------------------------

QString GridText(const TTextGrid &grid) {
    QString text;
    for (const QStringList &row : grid) {
        for (const QString &cell : row)
            text += cell + QLatin1Char('\t');
        text += QLatin1String("\r\n");
    }
    return text;
}

QByteArray GridFileBytes(const TTextGrid &grid) {
    return Cp1251::Encode(GridText(grid));
}

void SaveGrid(const TTextGrid &grid, const QString &path) {
    SafeFile::Write(path, GridFileBytes(grid));
}

// --- trip and refuelling journals --------------------------------------------------

TJournalRecord TJournalRecord::Decode(std::span<const uint8_t> b) {
    if (b.size() < size_t(JournalRecordSize)) throw Error(QStringLiteral("Journal record too short"));
    TJournalRecord r;
    r.minutes = LE::Get<uint16_t>(&b[0]);
    r.day = b[2];
    r.month = b[3];
    r.travelSeconds = LE::Get<uint32_t>(&b[4]);
    r.distance = LE::Get<uint32_t>(&b[8]);
    r.petrol = LE::Get<uint32_t>(&b[12]);
    r.gas = LE::Get<uint32_t>(&b[16]);
    return r;
}

TPrices TPrices::FromMK(const TMK &mk) {
    TPrices p;
    p.expense = int(mk.Get("PriceExpense"));
    p.time = int(mk.Get("PriceTime"));
    p.path = int(mk.Get("PricePath"));
    p.gas = int(mk.Get("PriceGas"));
    return p;
}

TJournalRecord JournalRecord(const TMK &mk, TJournal journal, int slot) {
    if (slot < 0 || slot >= JournalSlots) throw Error(QStringLiteral("No journal slot %1").arg(slot));
    return TJournalRecord::Decode(Bytes(mk, JournalField(journal))
                                      .subspan(size_t(slot * JournalRecordSize), size_t(JournalRecordSize)));
}

QStringList JournalHeadings() {
    static const TBiText headings[JournalColumns] = {
        {"#", "#"},
        {"Дата и время записи", "Date and time of rec."},
        {"Время в пути", "Travel time"},
        {"Пробег, км", "Mileage, km"},
        {"Расход топлива, л", "Fuel expense, l"},
        {"Ср. скорость, км/час", "Av. speed, km/h"},
        {"Ср. расход на 100 км", "Av. expense per 100 km"},
        {"Ср. расход в час", "Av. expense per hour"},
        {"Стоимость", "Cost"},
    };
    QStringList out;
    for (const TBiText &h : headings)
        out << h.text();
    return out;
}

QString SlotLabel(int slot) {
    return slot == 0 ? Bi("Посл.", "Last") : QString::number(slot);
}

int64_t TripCostNumerator(const TJournalRecord &r, const TPrices &p) {
    // (d/1000·path + petrol/1000·expense + gas/1000·gas + t/360·time) / 10 over a common
    // denominator of 90000, so that the cost is exact before rounding.
    const int64_t perThousand =
        int64_t(r.distance) * p.path + int64_t(r.petrol) * p.expense + int64_t(r.gas) * p.gas;
    return 9 * perThousand + 25 * int64_t(r.travelSeconds) * p.time;
}

QStringList JournalRow(int slot, const TJournalRecord &r, const TPrices &prices) {
    QStringList row(JournalColumns);
    row[0] = SlotLabel(slot);
    if (r.Empty()) {
        row[1] = Bi("Пусто", "Empty");
        return row;
    }
    const QString dash3 = QStringLiteral("---");
    const int64_t fuel = int64_t(r.petrol) + r.gas;
    const int64_t t = r.travelSeconds;
    const int64_t d = r.distance;
    const unsigned travelMinutes = r.travelSeconds / 60;
    row[1] = Two((r.minutes / 60) % 24) + QLatin1Char(':') + Two(r.minutes % 60) + QLatin1String("   ") +
             Dec(uint64_t(r.day)) + QLatin1Char('.') + Two(r.month);
    row[2] = Dec(uint64_t(travelMinutes / 60)) + QLatin1Char(':') + Two(travelMinutes % 60);
    row[3] = Fixed(d, 1000, 3);
    row[4] = Fixed(fuel, 1000, 3);
    // d·3.6/t: both operands are exact doubles, so a true half stays a half.
    row[5] = t == 0 ? dash3 : Dec(RoundHalfEven(double(d * 36) / double(t * 10)));
    row[6] = d == 0 ? dash3 : Fixed(fuel * 100, d, 1);
    row[7] = t == 0 ? dash3 : Fixed(fuel * 36, t * 10, 2);
    row[8] = Fixed(TripCostNumerator(r, prices), 90000, 1);
    return row;
}

TTextGrid JournalGrid(const TMK &mk, TJournal journal) {
    const TPrices prices = TPrices::FromMK(mk);
    TTextGrid grid;
    grid << JournalHeadings();
    for (int slot = 0; slot < JournalSlots; ++slot)
        grid << JournalRow(slot, JournalRecord(mk, journal, slot), prices);
    return grid;
}

void ClearJournal(TMK &mk, TJournal journal) {
    const std::span<uint8_t> records = Bytes(mk, JournalField(journal));
    for (int slot = 0; slot < JournalSlots; ++slot)
        records[size_t(slot * JournalRecordSize + 2)] = 0;
}

// --- accumulators ------------------------------------------------------------------

namespace {

struct TAccumulatorDesc {
    const char *field;
    TBiText caption;
};

// clang-format off
const TAccumulatorDesc kAccumulators[AccumulatorCount] = {
    {"TotalsGeneral",    {"Накопительные / Общие", "Cumulative / General"}},
    {"TotalsTrip",       {"Поездка", "Trip"}},
    {"TotalsReset1",     {"Сброс 1", "Reset 1"}},
    {"TotalsJam",        {"Пробки", "Jams"}},
    {"TotalsNoJam",      {"Без пробок", "Traffic"}},
    {"TotalsReset2",     {"Сброс 2 ( Между заправками )", "Reset 2 (between gas stations)"}},
    {"TotalsPetrolOnly", {"Только бензин", "Petrol only"}},
    {"TotalsGasOnly",    {"Только газ", "Gas only"}},
};
// clang-format on

const TAccumulatorDesc &Desc(TAccumulator which) {
    const int i = int(which);
    if (i < 0 || i >= AccumulatorCount) throw Error(QStringLiteral("No accumulator %1").arg(i));
    return kAccumulators[i];
}

} // namespace

TTotals Totals(const TMK &mk, TAccumulator which) {
    const char *field = Desc(which).field;
    TTotals t;
    t.time = uint32_t(mk.Get(field, 0));
    t.distance = uint32_t(mk.Get(field, 1));
    t.fuel = uint64_t(mk.Get(field, 2));
    if (TMK::Field(field).count == 4) t.fuel += uint64_t(mk.Get(field, 3));
    if (which == TAccumulator::General) t.startKm = int32_t(mk.Get("AllPathStart"));
    return t;
}

QString AccumulatorCaption(TAccumulator which) {
    return Desc(which).caption.text();
}

TTextGrid AveragesGrid(const TTotals &totals) {
    const QString dash5 = QStringLiteral("-----");
    const int64_t t = totals.time;
    const int64_t d = totals.distance;
    const auto f = int64_t(totals.fuel);
    return {
        {Bi("Время", "Time"), Dec(uint64_t(t / 3600)) + QLatin1Char(':') + Two(unsigned((t / 60) % 60))},
        {Bi("Пробег, км", "Mileage, km"), Fixed(d + 1000 * int64_t(totals.startKm), 1000, 3)},
        {Bi("Расход, л", "Expense, l"), Fixed(f, 1000, 3)},
        // The averages use the distance without the initial one.
        {Bi("Ср.скорость, км/час", "Av.speed, km/h"), t == 0 ? dash5 : Fixed(d * 36, t * 10, 1)},
        {Bi("Ср.расход, л/100", "Av.exp., l/100"), d == 0 ? dash5 : Fixed(f * 100, d, 1)},
        {Bi("Ср.расход, л/час", "Av.exp., l/h"), t == 0 ? dash5 : Fixed(f * 36, t * 10, 1)},
    };
}

TTextGrid AveragesGrid(const TMK &mk, TAccumulator which) {
    return AveragesGrid(Totals(mk, which));
}

void ClearAccumulator(TMK &mk, TAccumulator which) {
    const char *field = Desc(which).field;
    for (int i = 0; i < TMK::Field(field).count; ++i)
        mk.Set(field, 0, i);
}

// --- error journal -----------------------------------------------------------------

TProtocolSettings TProtocolSettings::FromMK(const TMK &mk) {
    TProtocolSettings p;
    p.variant = int(mk.Get("ProtTypeMain"));
    p.subtype2 = int(mk.Get("ProtTypeAdd2"));
    return p;
}

int FaultFormatOf(const TMK &mk) {
    // A catalogue of its own: the program-wide one follows the editor and may still
    // describe an earlier image, and the viewer must not change it.
    const int64_t protocol = mk.Get("ProtocolIndex");
    if (protocol >= 0 && protocol <= 255) {
        try {
            TProtCatalogue catalogue;
            catalogue.BuildProtocolList(mk.ModelCode, uint8_t(protocol), mk.Header.variant);
            if (catalogue.CurrentProtocol) return catalogue.CurrentProtocol->FaultFormat;
        } catch (const Error &) {
            // A number beyond the model's list: fall back to the current protocol.
        }
    }
    const TProtBase *current = Prots().CurrentProtocol;
    return current ? current->FaultFormat : TProtBase::FaultFormatNone;
}

uint32_t ConvertFormat8(uint32_t code) {
    uint32_t n = 0;
    if (code >= 0x4000 && code <= 0x4FFF)
        n = code - (code & 0xFC00); // 0x4000, 0x4400, 0x4800, 0x4C00
    else if (code < 0x4000)
        n = code;
    return (n % 10) + 16 * ((n / 10) % 10) + 256 * ((n / 100) % 10);
}

QString TroubleCodeText(int format, uint32_t code, const TProtocolSettings &protocol) {
    switch (format) {
    case 7:
        format = protocol.subtype2 == 1 ? 0 : 1;
        break;
    case 8:
        if (code > 0x3FFF) {
            code = ConvertFormat8(code);
            format = 0;
        } else {
            format = protocol.variant == 1 ? 2 : 6;
        }
        break;
    case 9:
        format = protocol.subtype2 != 0 ? 0 : 2;
        break;
    default:
        break;
    }

    switch (format) {
    case 0: {
        QString letter;
        if (code < 0x4000)
            letter = QStringLiteral("P");
        else if (code < 0x8000)
            letter = QStringLiteral("C");
        else if (code < 0xC000)
            letter = QStringLiteral("B");
        else if (code <= 0xFFFF)
            letter = QStringLiteral("U");
        return letter + Hex(code & 0x3FFF, 4);
    }
    case 1:
        return Hex(code & 0x3FFF, 4);
    case 2:
        return Dec(uint64_t(code));
    case 3: {
        QString text = Dec(uint64_t(code));
        if (code & 0x8000)
            text += QStringLiteral("п");
        else if (code & 0x4000)
            text += QStringLiteral("н");
        else if (code & 0x2000)
            text += QStringLiteral("м");
        return text;
    }
    case 4:
        return Hex(code, 4) + (code < 256 || code > 4095 ? QStringLiteral("Sub") : QString());
    case 5: {
        const uint32_t spn = (code & 0xFFFF) | ((code >> 5) & 0x70000);
        const uint32_t fmi = (code >> 16) & 0x1F;
        const uint32_t count = code >> 24;
        return QStringLiteral("SPN = ") + Dec(uint64_t(spn)) + QStringLiteral("  FMI = ") +
               Dec(uint64_t(fmi)) + QStringLiteral("  Q = ") +
               (count > 126 ? QStringLiteral("----") : Dec(uint64_t(count)));
    }
    case 10:
        return Dec(uint64_t((code >> 8) & 0xFF)) + QLatin1Char('-') + Dec(uint64_t(code % 7));
    default:
        return {};
    }
}

int16_t TErrorRecord::Value(int recordOffset) const {
    const int i = recordOffset - 12;
    if (i < 0 || i + 1 >= int(values.size()))
        throw Error(QStringLiteral("No freeze-frame value at %1").arg(recordOffset));
    return LE::Get<int16_t>(&values[size_t(i)]);
}

TErrorRecord TErrorRecord::Decode(std::span<const uint8_t> b) {
    if (b.size() < size_t(ErrorRecordSize)) throw Error(QStringLiteral("Error record too short"));
    TErrorRecord r;
    r.minutes = LE::Get<uint16_t>(&b[0]);
    r.day = b[2];
    r.month = b[3];
    r.code = LE::Get<uint32_t>(&b[4]);
    r.freezeCode = LE::Get<uint32_t>(&b[8]);
    std::copy_n(b.begin() + 12, r.values.size(), r.values.begin());
    return r;
}

TErrorRecord ErrorRecord(const TMK &mk, int index) {
    if (index < 0 || index >= ErrorRecords) throw Error(QStringLiteral("No error record %1").arg(index));
    return TErrorRecord::Decode(
        Bytes(mk, "ErrorRecords").subspan(size_t(index * ErrorRecordSize), size_t(ErrorRecordSize)));
}

QStringList ErrorListHeadings() {
    return {QStringLiteral("#"), Bi("Время", "Time"), Bi("Код ошибки", "Trouble code")};
}

TTextGrid ErrorListGrid(const TMK &mk, int faultFormat) {
    const TProtocolSettings protocol = TProtocolSettings::FromMK(mk);
    TTextGrid grid;
    grid << ErrorListHeadings();
    for (int i = 0; i < ErrorRecords; ++i) {
        const TErrorRecord r = ErrorRecord(mk, i);
        QStringList row(ErrorListColumns);
        row[0] = QString::number(i);
        if (r.code != 0) {
            row[1] = Dec(uint64_t(r.minutes / 60)) + QLatin1Char(':') + Two(r.minutes % 60) +
                     QLatin1Char(' ') + Dec(uint64_t(r.day)) + QLatin1Char('.') + Two(r.month);
            row[2] = TroubleCodeText(faultFormat, r.code, protocol);
        }
        grid << row;
    }
    return grid;
}

bool PidSupported(std::span<const uint8_t> bitmap, int pid) {
    if (pid < 1 || pid > 96) return false;
    const auto byte = size_t((pid - 1) / 8);
    return byte < bitmap.size() && (bitmap[byte] & (0x80 >> ((pid - 1) % 8))) != 0;
}

QString FuelSystemStatusText(int status) {
    switch (status) {
    case 1:
        return Bi("Разомкнута(Ош.Тдв)", "Open loop(ins.eng.T)");
    case 2:
        return Bi("Замкнута (ДатчО2)", "Closed loop(O2 sens)");
    case 4:
        return Bi("Разомк.(Нагр.дв.)", "Open loop(Eng.load)");
    case 8:
        return Bi("Разомк.(ОшСист)", "Open loop(SysFault)");
    case 16:
        return Bi("Замкн.(ОшДатчО2)", "Closed loop(O2s Flt)");
    default:
        return Bi("Неизвестно", "Unknown");
    }
}

QString SecondaryAirStatusText(int status) {
    // Values outside 0 … 255 are not expected from the device; they read as unknown too.
    switch (status) {
    case 1:
        return Bi("В катализатор", "Upstream of catal.");
    case 2:
        return Bi("Из катализатора", "Downstream of catal");
    case 4:
        return Bi("Выключено", "Off");
    default:
        return Bi("Неизвестно", "Unknown");
    }
}

namespace {

enum class TValueKind { Int, Tenths, Hundredths, FuelStatus, SecondaryAir };

struct TFreezeFrameRow {
    int pid;
    int offset; // in the error record
    TBiText label;
    TValueKind kind;
};

using T = TValueKind;

// The order in which the lines appear.
// clang-format off
const TFreezeFrameRow kFreezeFrame[] = {
    {3, 12, {"Сост. топливной системы 1", "Fuel system 1 status"}, T::FuelStatus},
    {4, 14, {"Нагрузка на двигатель, %", "Calc.engine load, %"}, T::Int},
    {5, 16, {"ТОЖ, С", "Eng.coolant temper., C"}, T::Int},
    {6, 18, {"Краткосрочная корр.подачи топл.Б1, %", "Short term fuel trim-Bank 1, %"}, T::Int},
    {8, 20, {"Краткосрочная корр.подачи топл.Б2, %", "Short term fuel trim-Bank 2, %"}, T::Int},
    {7, 22, {"Долгосрочная корр.продачи топл.Б1, %", "Long term fuel trim-Bank 1, %"}, T::Int},
    {9, 24, {"Долгосрочная корр.продачи топл.Б2, %", "Long term fuel trim-Bank 2, %"}, T::Int},
    {10, 26, {"Давление топлива, кПа", "Fuel pressure, kPa"}, T::Tenths},
    {11, 28, {"Давление во впускном коллекторе, кПа", "Intake manifold pressure, kPa"}, T::Int},
    {12, 32, {"Обороты/мин", "Engine RPM"}, T::Int},
    {13, 30, {"Скорость, км/час", "Vehicle speed, km/h"}, T::Int},
    {14, 34, {"Угол опережения зажигания, ВМТ", "Timing advance"}, T::Tenths},
    {15, 36, {"Температура впускного воздуха, С", "Intake air temperature, C"}, T::Int},
    {16, 38, {"Массовый расход воздуха, кг/час", "MAF air flow rate, kg/h"}, T::Tenths},
    {17, 40, {"Дроссель, %", "Throttle position, %"}, T::Int},
    {18, 42, {"Состояние вторичного воздуха", "Состояние вторичного воздуха"}, T::SecondaryAir},
    {20, 44, {"Датчик кислорода 1, В", "Oxygen sensor voltage 1, V"}, T::Hundredths},
    {21, 46, {"Датчик кислорода 2, В", "Oxygen sensor voltage 2, V"}, T::Hundredths},
    {31, 48, {"Время с момента запуска двигателя, с", "Run time since engine start, s"}, T::Int},
    {33, 50, {"Пробег с вкл. лампой неиспр., км", "Distance traveled with MIL on, km"}, T::Int},
    {34, 52, {"Давление в топл.рампе отн.вакуума, кПа", "Fuel Rail Press.(rel.to manifold vacuum), kPa"}, T::Int},
    {35, 54, {"Давление в топл.рампе (выс.диап.), кПа", "Fuel Pressure (diesel), kPa"}, T::Tenths},
    {44, 56, {"Желаемый расход системы EGR, %", "Commanded EGR, %"}, T::Int},
    {45, 58, {"Ошибка регул.расхода сис.EGR, %", "EGR Error, %"}, T::Int},
    {46, 60, {"Жел.уровень продувки паров топлива, %", "Commanded evaporative purge, %"}, T::Int},
    {48, 62, {"Число прогревов двиг.с момента сброса ошибок", "# of warm-ups since codes cleared"}, T::Int},
    {49, 64, {"Пробег с момента сброса ошибок, км", "Distance traveled since codes cleared, km"}, T::Int},
    {50, 66, {"Давление паров топ.в системе продувки", "Evap. System Vapor Pressure, Pa"}, T::Int},
    {51, 68, {"Атмосферное давление, кПа", "Barometric pressure, kPa"}, T::Int},
    {60, 70, {"Температура катализатора B1 S1, С", "Catalyst Temperature B1 S1, C"}, T::Int},
    {61, 72, {"Температура катализатора B2 S1, С", "Catalyst Temperature B2 S1, C"}, T::Int},
    {62, 74, {"Температура катализатора B1 S2, С", "Catalyst Temperature B1 S2, C"}, T::Int},
    {63, 76, {"Температура катализатора B2 S2, С", "Catalyst Temperature B2 S2, C"}, T::Int},
    {66, 78, {"Напряжение питания БУ, В", "Control module voltage, V"}, T::Tenths},
    {68, 80, {"Желаемое значение лямбда", "Command equivalence ratio"}, T::Hundredths},
    {69, 82, {"Отн.положение дросс.заслонки, %", "Relative throttle position, %"}, T::Int},
    {70, 84, {"Температура внешнего воздуха, C", "Ambient air temperature, C"}, T::Int},
    {76, 86, {"Жел. положение привода дросселя, %", "Commanded throttle actuator, %"}, T::Int},
    {77, 88, {"Время с момента вкл.лампы неиспр., мин", "Time run with MIL on, min"}, T::Int},
    {78, 90, {"Время с момента сброса ошибок, мин", "Time since trouble codes cleared, min"}, T::Int},
};
// clang-format on

const TBiText kFuelSystem2 = {"Сост. топливной системы 2", "Fuel system 2 status"};

} // namespace

TTextGrid FreezeFrame(const TErrorRecord &record, std::span<const uint8_t> bitmap) {
    TTextGrid lines;
    if (record.freezeCode == 0) return lines;
    lines << QStringList{Bi("Код ошибки", "Trouble code"), TroubleCodeText(0, record.freezeCode, {})};
    for (const TFreezeFrameRow &row : kFreezeFrame) {
        if (!PidSupported(bitmap, row.pid)) continue;
        const int16_t value = record.Value(row.offset);
        switch (row.kind) {
        case T::FuelStatus: {
            const auto word = uint16_t(value);
            lines << QStringList{row.label.text(), FuelSystemStatusText(word >> 8)};
            lines << QStringList{kFuelSystem2.text(), FuelSystemStatusText(word & 0xFF)};
            break;
        }
        case T::SecondaryAir:
            lines << QStringList{row.label.text(), SecondaryAirStatusText(value)};
            break;
        case T::Int:
            lines << QStringList{row.label.text(), Dec(int64_t(value))};
            break;
        case T::Tenths:
            lines << QStringList{row.label.text(), Fixed(value, 10, 1)};
            break;
        case T::Hundredths:
            lines << QStringList{row.label.text(), Fixed(value, 100, 2)};
            break;
        }
    }
    return lines;
}

TTextGrid FreezeFrame(const TMK &mk, int index) {
    return FreezeFrame(ErrorRecord(mk, index), Bytes(mk, "PidSupport"));
}

QStringList FreezeFrameLabels() {
    QStringList labels{Bi("Код ошибки", "Trouble code"), kFuelSystem2.text()};
    for (const TFreezeFrameRow &row : kFreezeFrame)
        labels << row.label.text();
    return labels;
}

void ClearErrorJournal(TMK &mk) {
    std::ranges::fill(Bytes(mk, "PidSupport"), uint8_t(0));
    const std::span<uint8_t> records = Bytes(mk, "ErrorRecords");
    for (int i = 0; i < ErrorRecords; ++i) {
        uint8_t *r = records.data() + i * ErrorRecordSize;
        LE::Put<uint32_t>(r + 4, 0);
        LE::Put<uint32_t>(r + 8, 0);
    }
}

// --- reports -----------------------------------------------------------------------

QString Report(const TMK &mk, TReport which, int faultFormat) {
    switch (which) {
    case TReport::Trip:
        return GridText(JournalGrid(mk, TJournal::Trip));
    case TReport::Tank:
        return GridText(JournalGrid(mk, TJournal::Tank));
    case TReport::Errors:
        return GridText(ErrorListGrid(mk, faultFormat));
    case TReport::Averages: {
        QString text;
        for (int i = 0; i < AccumulatorCount; ++i) {
            const auto accumulator = TAccumulator(i);
            text += AccumulatorCaption(accumulator) + QLatin1String("\r\n") +
                    GridText(AveragesGrid(mk, accumulator));
        }
        return text;
    }
    }
    return {};
}

bool ReportByName(QStringView name, TReport *which) {
    static const std::pair<const char *, TReport> names[] = {{"trip", TReport::Trip},
                                                             {"tank", TReport::Tank},
                                                             {"errors", TReport::Errors},
                                                             {"averages", TReport::Averages}};
    for (const auto &[text, report] : names) {
        if (name == QLatin1String(text)) {
            *which = report;
            return true;
        }
    }
    return false;
}

QString FileReport(const QString &path, TReport which) {
    TMK mk;
    SettingsFile::Load(mk, path);
    mk.LoadAllSections();
    return Report(mk, which, FaultFormatOf(mk));
}

} // namespace Journals
