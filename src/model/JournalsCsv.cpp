#include "model/JournalsCsv.h"

#include "base/Lang.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <algorithm>

namespace Journals {

namespace {

QString N(uint64_t value) {
    return QString::number(value);
}

const TBiText kMinutes{"Минуты от полуночи", "Minutes since midnight"};
const TBiText kDay{"День", "Day"};
const TBiText kMonth{"Месяц", "Month"};

TTextGrid JournalTable(const TMK &mk, TJournal journal) {
    const TTextGrid grid = JournalGrid(mk, journal);
    TTextGrid table;
    QStringList header{Bi("Слот", "Slot"),
                       kMinutes.text(),
                       kDay.text(),
                       kMonth.text(),
                       Bi("Время в пути, с", "Travel time, s"),
                       Bi("Пробег, м", "Distance, m"),
                       Bi("Бензин, мл", "Petrol, ml"),
                       Bi("Газ, мл", "Gas, ml")};
    const qsizetype raw = header.size();
    table << header + grid[0];
    for (int slot = 0; slot < MKLayout::JournalSlots; ++slot) {
        const TJournalRecord r = JournalRecord(mk, journal, slot);
        QStringList row{N(uint64_t(slot))};
        if (r.Empty()) {
            row.resize(raw);
        } else {
            row << N(r.minutes) << N(r.day) << N(r.month) << N(r.travelSeconds) << N(r.distance)
                << N(r.petrol) << N(r.gas);
        }
        table << row + grid[slot + 1];
    }
    return table;
}

TTextGrid ErrorTable(const TMK &mk, int faultFormat) {
    const TTextGrid grid = ErrorListGrid(mk, faultFormat);
    QStringList header{Bi("Запись", "Record"), kMinutes.text(),   kDay.text(),
                       kMonth.text(),          Bi("Код", "Code"), Bi("Код стоп-кадра", "Freeze-frame code")};
    const qsizetype raw = header.size();
    TTextGrid table{header + grid[0]};
    for (int i = 0; i < MKLayout::ErrorRecords; ++i) {
        const TErrorRecord r = ErrorRecord(mk, i);
        QStringList row{N(uint64_t(i))};
        if (r.code == 0)
            row.resize(raw);
        else
            row << N(r.minutes) << N(r.day) << N(r.month) << N(r.code) << N(r.freezeCode);
        table << row + grid[i + 1];
    }
    return table;
}

TTextGrid AveragesTable(const TMK &mk) {
    QStringList header{Bi("Накопитель", "Accumulator"), Bi("Время, с", "Time, s"),
                       Bi("Пробег, м", "Distance, m"), Bi("Топливо, мл", "Fuel, ml"),
                       Bi("Начальный пробег, км", "Initial distance, km")};
    for (const QStringList &line : AveragesGrid(TTotals{}))
        header << line[0];
    TTextGrid table{header};
    for (int i = 0; i < AccumulatorCount; ++i) {
        const auto which = TAccumulator(i);
        const TTotals t = Totals(mk, which);
        QStringList row{AccumulatorCaption(which), N(t.time), N(t.distance), N(t.fuel),
                        QString::number(t.startKm)};
        for (const QStringList &line : AveragesGrid(t))
            row << line[1];
        table << row;
    }
    return table;
}

} // namespace

QString CsvField(const QString &text) {
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); })) return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvText(const TTextGrid &rows) {
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0) text += QLatin1Char(',');
            text += CsvField(row[c]);
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

TTextGrid CsvTable(const TMK &mk, TReport which, int faultFormat) {
    switch (which) {
    case TReport::Trip:
        return JournalTable(mk, TJournal::Trip);
    case TReport::Tank:
        return JournalTable(mk, TJournal::Tank);
    case TReport::Errors:
        return ErrorTable(mk, faultFormat);
    case TReport::Averages:
        return AveragesTable(mk);
    }
    return {};
}

QByteArray FileCsv(const QString &path, TReport which) {
    TMK mk;
    SettingsFile::Load(mk, path);
    mk.LoadAllSections();
    return QByteArrayLiteral("\xEF\xBB\xBF") + CsvText(CsvTable(mk, which, FaultFormatOf(mk))).toUtf8();
}

} // namespace Journals
