#pragma once
// The device's histories as text: trip and refuelling journals, the statistics
// accumulators shown as averages, the error journal with its freeze frames, and
// the clearing operations. Everything works on the working fields of TMK and picks
// its texts by the current language flag.

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>
#include <span>

class TMK;

namespace Journals {

// --- numbers -----------------------------------------------------------------------

// The system's decimal separator, read once. Tests pin it with TDecimalSeparatorScope.
QChar DecimalSeparator();
// A null QChar goes back to the system's separator.
void SetDecimalSeparator(QChar separator);

class TDecimalSeparatorScope {
public:
    explicit TDecimalSeparatorScope(QChar separator);
    ~TDecimalSeparatorScope();
    TDecimalSeparatorScope(const TDecimalSeparatorScope &) = delete;
    TDecimalSeparatorScope &operator=(const TDecimalSeparatorScope &) = delete;

private:
    QChar saved_;
};

// numerator / denominator in fixed point with the given decimals, computed exactly and
// rounded half away from zero. The denominator must not be 0.
QString Fixed(int64_t numerator, int64_t denominator, int decimals);

// --- grids -------------------------------------------------------------------------

// Rows of cells, every row as long as the grid is wide.
using TTextGrid = QList<QStringList>;

// The text of a grid as the journal export writes it: every cell followed by a tab,
// every row ended by CR LF.
QString GridText(const TTextGrid &grid);
// The same in code page 1251: the exact bytes of an exported file.
QByteArray GridFileBytes(const TTextGrid &grid);
// Writes the export through a temporary file. Raises Error with the system's message.
void SaveGrid(const TTextGrid &grid, const QString &path);

// --- trip and refuelling journals --------------------------------------------------

enum class TJournal { Trip, Tank };

constexpr int JournalColumns = 9;
constexpr int JournalRows = 22; // heading + 21 slots

struct TJournalRecord {
    uint16_t minutes = 0; // time of day of the entry
    uint8_t day = 0;      // 0 marks an empty slot
    uint8_t month = 0;
    uint32_t travelSeconds = 0;
    uint32_t distance = 0; // metres
    uint32_t petrol = 0;   // millilitres
    uint32_t gas = 0;      // millilitres

    bool Empty() const { return day == 0; }
    static TJournalRecord Decode(std::span<const uint8_t> bytes); // 20 bytes
};

// Section 7 prices: tenths of a money unit per km or litre, whole units per hour.
struct TPrices {
    int expense = 0, time = 0, path = 0, gas = 0;
    static TPrices FromMK(const TMK &mk);
};

TJournalRecord JournalRecord(const TMK &mk, TJournal journal, int slot);
QStringList JournalHeadings();
// "Посл." / "Last" for slot 0, else the slot number.
QString SlotLabel(int slot);
// The nine cells of a slot's row.
QStringList JournalRow(int slot, const TJournalRecord &record, const TPrices &prices);
// Trip cost in tenths of a money unit, before rounding: numerator over 9000.
int64_t TripCostNumerator(const TJournalRecord &record, const TPrices &prices);
TTextGrid JournalGrid(const TMK &mk, TJournal journal);

void ClearJournal(TMK &mk, TJournal journal);

// --- accumulators ------------------------------------------------------------------

enum class TAccumulator { General, Trip, Reset1, Jam, NoJam, Reset2, PetrolOnly, GasOnly };
constexpr int AccumulatorCount = 8;
constexpr int AveragesRows = 6;

struct TTotals {
    uint32_t time = 0;     // seconds
    uint32_t distance = 0; // metres
    uint64_t fuel = 0;     // millilitres of the fuels the accumulator counts
    int32_t startKm = 0;   // initial distance, general accumulator only
};

TTotals Totals(const TMK &mk, TAccumulator which);
QString AccumulatorCaption(TAccumulator which);
// Six rows of label and value.
TTextGrid AveragesGrid(const TTotals &totals);
TTextGrid AveragesGrid(const TMK &mk, TAccumulator which);
// All values of the accumulator := 0; the general one keeps its initial distance.
void ClearAccumulator(TMK &mk, TAccumulator which);

// --- error journal -----------------------------------------------------------------

constexpr int ErrorListRows = 8; // heading + 7 records
constexpr int ErrorListColumns = 3;
constexpr int FreezeFrameValues = 40;
constexpr int FreezeFrameMaxLines = 42; // the code line and 41 value lines (PID 3 takes two)

// The protocol settings (section 10) that formats 7, 8 and 9 consult.
struct TProtocolSettings {
    int variant = 0;  // implementation variant of the protocol
    int subtype2 = 0; // protocol subtype 2
    static TProtocolSettings FromMK(const TMK &mk);
};

// The fault format of the protocol the image selects (model code, protocol number,
// header variant). When that number is not in the model's list, the format of the
// catalogue's current protocol; without one, no fault codes.
int FaultFormatOf(const TMK &mk);

// Trouble code as text in fault format `format`; unknown formats give empty text.
QString TroubleCodeText(int format, uint32_t code, const TProtocolSettings &protocol);
// Format 8: the four ranges from 0x4000 lose their start, the decimal digits of the
// rest are read as hexadecimal digits.
uint32_t ConvertFormat8(uint32_t code);

struct TErrorRecord {
    uint16_t minutes = 0;
    uint8_t day = 0;
    uint8_t month = 0;
    uint32_t code = 0;                                   // 0 marks an empty record
    uint32_t freezeCode = 0;                             // 0: no freeze frame
    std::array<uint8_t, 2 * FreezeFrameValues> values{}; // raw, record offsets 12 … 91

    // Freeze-frame value at a record offset (12 … 90).
    int16_t Value(int recordOffset) const;
    static TErrorRecord Decode(std::span<const uint8_t> bytes); // 92 bytes
};

TErrorRecord ErrorRecord(const TMK &mk, int index);
QStringList ErrorListHeadings();
TTextGrid ErrorListGrid(const TMK &mk, int faultFormat);

// PID p (1 … 96) of the 12-byte support bitmap, in the OBD-II supported-PID layout.
bool PidSupported(std::span<const uint8_t> bitmap, int pid);
QString FuelSystemStatusText(int status);
QString SecondaryAirStatusText(int status);
// Label/value lines of a record's freeze frame; empty when it has none.
TTextGrid FreezeFrame(const TErrorRecord &record, std::span<const uint8_t> bitmap);
TTextGrid FreezeFrame(const TMK &mk, int index);
// Every label a freeze frame can show, in the current language.
QStringList FreezeFrameLabels();

// Bitmap, trouble codes and freeze-frame codes := 0.
void ClearErrorJournal(TMK &mk);

// --- reports -----------------------------------------------------------------------

enum class TReport { Trip, Tank, Errors, Averages };

// A text report: a journal grid or the error list as the export writes it, or the
// eight averages tables each after its caption line.
QString Report(const TMK &mk, TReport which, int faultFormat);
// "trip", "tank", "errors" or "averages"; false for any other name.
bool ReportByName(QStringView name, TReport *which);
// The report of a settings file, read and loaded as the main window does, with the
// fault format of its protocol. Raises Error.
QString FileReport(const QString &path, TReport which);

} // namespace Journals
