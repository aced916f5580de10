// tripconf-cli journals: the built binary prints what the viewer would save, the
// records as JSON or CSV, and draws the charts.

#include "JournalsFixture.h"
#include "base/Lang.h"
#include "model/Journals.h"
#include "model/JournalsCsv.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

TRun Run(const QStringList &args, const QStringList &environment = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString value = entry.section(QLatin1Char('='), 1);
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TRIPCONF_CLI), args);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

// RFC 4180 read strictly: records end with CR LF; a quoted field may hold commas, CR,
// LF and doubled quotes; any other quote, a bare CR or LF or an open quote: nullopt.
std::optional<QList<QStringList>> ParseCsv(const QString &text) {
    QList<QStringList> records{{}};
    QString field;
    bool inQuotes = false, quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != u'"')
                field += c;
            else if (text.mid(i + 1, 1) == u"\"")
                field += text[++i];
            else
                inQuotes = false;
        } else if (c == u'"' && field.isEmpty() && !quoted) {
            inQuotes = quoted = true;
        } else if (c == u',' || c == u'\r') {
            if (c == u'\r' && text.mid(++i, 1) != u"\n") return std::nullopt;
            records.last() << field;
            field.clear();
            quoted = false;
            if (c == u'\r') records << QStringList{};
        } else if (c == u'"' || c == u'\n' || quoted) {
            return std::nullopt;
        } else {
            field += c;
        }
    }
    if (inQuotes || quoted || !field.isEmpty() || !records.last().isEmpty()) return std::nullopt;
    records.removeLast();
    return records;
}

QString N(uint64_t value) {
    return QString::number(value);
}

} // namespace

class TJournalsCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void reports_data();
    void reports();
    void failures_data();
    void failures();
    void json_data();
    void json();
    void csv_data();
    void csv();
    void chart();
    void otherCommandsNeedNoDisplay();

private:
    QTemporaryDir dir_;
    QString file_;
};

void TJournalsCliTest::initTestCase() {
    TMK mk;
    Fixture::LoadSampleImage(mk);
    Fixture::FillSample(mk);
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k);
    file_ = dir_.filePath(QStringLiteral("car.vorng"));
    SettingsFile::Save(mk, file_);
}

void TJournalsCliTest::reports_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("lang"); // the options given
    QTest::addColumn<bool>("english");
    for (const char *which : {"trip", "tank", "errors", "averages"}) {
        QTest::addRow("%s, default", which) << which << QStringList{} << true;
        QTest::addRow("%s, ru", which) << which << QStringList{"--lang", "ru"} << false;
        QTest::addRow("%s, en", which) << which << QStringList{"--lang=en"} << true;
    }
}

void TJournalsCliTest::reports() {
    QFETCH(QString, which);
    QFETCH(QStringList, lang);
    QFETCH(bool, english);
    const TRun run = Run(QStringList{"journals", file_, "--which", which} + lang);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);

    const TLangScope language(english);
    Journals::TReport report{};
    QVERIFY(Journals::ReportByName(which, &report));
    const QString expected = Journals::FileReport(file_, report);
    QCOMPARE(QString::fromUtf8(run.out), expected); // UTF-8, CR LF as in the saved files
    QVERIFY(run.out.contains(english ? "Mileage, km\t" : "\xD0\x9F\xD1\x80\xD0\xBE") || which == "errors");
    if (which == "trip" || which == "tank") {
        QCOMPARE(run.out.count("\r\n"), 22);
        for (const QByteArray &line : run.out.chopped(2).split('\n'))
            QCOMPARE(line.count('\t'), 9);
    }
}

void TJournalsCliTest::failures_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("no file") << QStringList{"journals", "--which", "trip"} << 2
                             << "one settings file expected";
    QTest::newRow("two files") << QStringList{"journals", "a", "b", "--which", "trip"} << 2
                               << "one settings file expected";
    QTest::newRow("no --which") << QStringList{"journals", "a.vorng"} << 2 << "--which is required";
    QTest::newRow("bad --which") << QStringList{"journals", "a.vorng", "--which", "fuel"} << 2
                                 << "--which is trip, tank, errors or averages";
    QTest::newRow("bad language") << QStringList{"journals", "a.vorng", "--which", "trip", "--lang", "de"}
                                  << 2 << "--lang is en or ru";
    QTest::newRow("missing file") << QStringList{"journals", "/nonexistent/a.vorng", "--which", "trip"} << 1
                                  << "tripconf-cli journals: ";
    QTest::newRow("json and csv") << QStringList{"journals", "a.vorng", "--which", "trip", "--json", "--csv"}
                                  << 2 << "--json, --csv and --chart exclude each other";
    QTest::newRow("chart without -o") << QStringList{"journals", "a.vorng", "--which", "trip", "--chart"} << 2
                                      << "--chart needs -o OUT.png";
    QTest::newRow("chart of errors") << QStringList{"journals", "a.vorng", "--which", "errors",
                                                    "--chart",  "-o",      "x.png"}
                                     << 2 << "--chart draws the trip or tank journal";
}

void TJournalsCliTest::failures() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    const TRun run = Run(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

// The records with their raw values beside the cells the viewer shows.
void TJournalsCliTest::json_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("english");
    for (const char *which : {"trip", "tank", "errors", "averages"}) {
        QTest::addRow("%s", which) << which << true;
        QTest::addRow("%s, ru", which) << which << false;
    }
}

void TJournalsCliTest::json() {
    QFETCH(QString, which);
    QFETCH(bool, english);
    const TRun run = Run({"journals", file_, "--which", which, "--json", "--lang", english ? "en" : "ru"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(o.value("which").toString(), which);

    const TLangScope language(english);
    TMK mk;
    SettingsFile::Load(mk, file_);
    mk.LoadAllSections();
    auto strings = [](const QStringList &list) { return QJsonArray::fromStringList(list); };
    auto lines = [](const Journals::TTextGrid &grid) {
        QJsonArray out;
        for (const QStringList &row : grid)
            out.append(QJsonObject{{"label", row[0]}, {"value", row[1]}});
        return out;
    };
    if (which == "averages") {
        const QJsonArray accumulators = o.value("accumulators").toArray();
        QCOMPARE(accumulators.size(), Journals::AccumulatorCount);
        QCOMPARE(accumulators[0].toObject().value("name").toString(), QStringLiteral("General"));
        QCOMPARE(accumulators[7].toObject().value("name").toString(), QStringLiteral("GasOnly"));
        for (int i = 0; i < Journals::AccumulatorCount; ++i) {
            const auto a = Journals::TAccumulator(i);
            const Journals::TTotals t = Journals::Totals(mk, a);
            const QJsonObject got = accumulators[i].toObject();
            QCOMPARE(got.value("caption").toString(), Journals::AccumulatorCaption(a));
            QCOMPARE(got.value("timeSeconds").toInteger(), qint64(t.time));
            QCOMPARE(got.value("distanceMetres").toInteger(), qint64(t.distance));
            QCOMPARE(got.value("fuelMillilitres").toInteger(), qint64(t.fuel));
            QCOMPARE(got.value("startKm").toInteger(), qint64(t.startKm));
            QCOMPARE(got.value("lines").toArray(), lines(Journals::AveragesGrid(t)));
        }
        return;
    }
    const QJsonArray records = o.value("records").toArray();
    if (which == "errors") {
        const Journals::TTextGrid grid = Journals::ErrorListGrid(mk, Journals::FaultFormatOf(mk));
        QCOMPARE(o.value("columns").toArray(), strings(grid[0]));
        QCOMPARE(records.size(), Journals::ErrorListRows - 1);
        for (int i = 0; i < records.size(); ++i) {
            const Journals::TErrorRecord r = Journals::ErrorRecord(mk, i);
            const QJsonObject got = records[i].toObject();
            QCOMPARE(got.value("index").toInt(), i);
            QCOMPARE(got.value("empty").toBool(), r.code == 0);
            QCOMPARE(got.value("cells").toArray(), strings(grid[i + 1]));
            QCOMPARE(got.value("code").toInteger(-1), r.code == 0 ? -1 : qint64(r.code));
            QCOMPARE(got.value("freezeFrame").toArray(),
                     lines(r.code == 0 ? Journals::TTextGrid{} : Journals::FreezeFrame(mk, i)));
        }
        QVERIFY(!records[0].toObject().value("freezeFrame").toArray().isEmpty());
        return;
    }
    const auto journal = which == "trip" ? Journals::TJournal::Trip : Journals::TJournal::Tank;
    const Journals::TTextGrid grid = Journals::JournalGrid(mk, journal);
    QCOMPARE(o.value("columns").toArray(), strings(grid[0]));
    QCOMPARE(records.size(), Journals::JournalRows - 1);
    for (int slot = 0; slot < records.size(); ++slot) {
        const Journals::TJournalRecord r = Journals::JournalRecord(mk, journal, slot);
        const QJsonObject got = records[slot].toObject();
        QCOMPARE(got.value("slot").toInt(), slot);
        QCOMPARE(got.value("empty").toBool(), r.Empty());
        QCOMPARE(got.value("cells").toArray(), strings(grid[slot + 1]));
        QCOMPARE(got.size(), r.Empty() ? 3 : 10);
        QCOMPARE(got.value("minuteOfDay").toInt(-1), r.Empty() ? -1 : r.minutes);
        QCOMPARE(got.value("distanceMetres").toInteger(-1), r.Empty() ? -1 : qint64(r.distance));
        QCOMPARE(got.value("petrolMillilitres").toInteger(-1), r.Empty() ? -1 : qint64(r.petrol));
        QCOMPARE(got.value("gasMillilitres").toInteger(-1), r.Empty() ? -1 : qint64(r.gas));
        QCOMPARE(got.value("travelSeconds").toInteger(-1), r.Empty() ? -1 : qint64(r.travelSeconds));
    }
}

// Parsed back by the test's own reader, the CSV gives every record's raw values and
// the viewer's cells, under a header in the chosen language; a decimal comma stays
// inside its quoted field.
void TJournalsCliTest::csv_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("header"); // the fields, separated by "|"
    const QString tripRu =
        "Слот|Минуты от полуночи|День|Месяц|Время в пути, с|Пробег, м|Бензин, мл|Газ, мл|#|"
        "Дата и время записи|Время в пути|Пробег, км|Расход топлива, л|Ср. скорость, км/час|"
        "Ср. расход на 100 км|Ср. расход в час|Стоимость";
    QTest::newRow("trip, en")
        << "trip" << true
        << "Slot|Minutes since midnight|Day|Month|Travel time, s|Distance, m|Petrol, ml|"
           "Gas, ml|#|Date and time of rec.|Travel time|Mileage, km|Fuel expense, l|"
           "Av. speed, km/h|Av. expense per 100 km|Av. expense per hour|Cost";
    QTest::newRow("trip, ru") << "trip" << false << tripRu;
    QTest::newRow("tank, ru") << "tank" << false << tripRu;
    QTest::newRow("errors, en") << "errors" << true
                                << "Record|Minutes since midnight|Day|Month|Code|Freeze-frame code|#|Time|"
                                   "Trouble code";
    QTest::newRow("averages, ru")
        << "averages" << false
        << "Накопитель|Время, с|Пробег, м|Топливо, мл|Начальный пробег, км|Время|"
           "Пробег, км|Расход, л|Ср.скорость, км/час|Ср.расход, л/100|Ср.расход, л/час";
}

void TJournalsCliTest::csv() {
    QFETCH(QString, which);
    QFETCH(bool, english);
    QFETCH(QString, header);
    // Russian under a Russian locale: decimal commas, which must stay inside their fields.
    const TRun run = Run({"journals", file_, "--which", which, "--csv", "--lang", english ? "en" : "ru"},
                         {english ? "LC_ALL=C.UTF-8" : "LC_ALL=ru_RU.UTF-8"});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("\xEF\xBB\xBF")); // UTF-8, and spreadsheets know it
    const std::optional<QList<QStringList>> parsed = ParseCsv(QString::fromUtf8(run.out.mid(3)));
    QVERIFY(parsed);
    const QList<QStringList> &rows = *parsed;
    QCOMPARE(rows.value(0), header.split(u'|'));

    const TLangScope language(english);
    const Journals::TDecimalSeparatorScope decimals(english ? QLatin1Char('.') : QLatin1Char(','));
    TMK mk;
    SettingsFile::Load(mk, file_);
    mk.LoadAllSections();
    QList<QStringList> expected; // raw values, then the cells
    if (which == "trip" || which == "tank") {
        const auto journal = which == "trip" ? Journals::TJournal::Trip : Journals::TJournal::Tank;
        const Journals::TTextGrid grid = Journals::JournalGrid(mk, journal);
        for (int slot = 0; slot < 21; ++slot) {
            const Journals::TJournalRecord r = Journals::JournalRecord(mk, journal, slot);
            expected << QStringList{N(uint64_t(slot))} +
                            (r.Empty() ? QStringList(7)
                                       : QStringList{N(r.minutes), N(r.day), N(r.month), N(r.travelSeconds),
                                                     N(r.distance), N(r.petrol), N(r.gas)}) +
                            grid[slot + 1];
        }
    } else if (which == "errors") {
        const Journals::TTextGrid grid = Journals::ErrorListGrid(mk, Journals::FaultFormatOf(mk));
        for (int i = 0; i < 7; ++i) {
            const Journals::TErrorRecord r = Journals::ErrorRecord(mk, i);
            expected << QStringList{N(uint64_t(i))} +
                            (r.code == 0 ? QStringList(5)
                                         : QStringList{N(r.minutes), N(r.day), N(r.month), N(r.code),
                                                       N(r.freezeCode)}) +
                            grid[i + 1];
        }
    } else {
        for (int i = 0; i < Journals::AccumulatorCount; ++i) {
            const Journals::TTotals t = Journals::Totals(mk, Journals::TAccumulator(i));
            expected << QStringList{Journals::AccumulatorCaption(Journals::TAccumulator(i)), N(t.time),
                                    N(t.distance), N(t.fuel), QString::number(t.startKm)};
            for (const QStringList &line : Journals::AveragesGrid(t))
                expected.last() << line[1];
        }
    }
    QCOMPARE(rows.mid(1), expected);
    if (!english) QVERIFY(QString::fromUtf8(run.out).contains(QRegularExpression(",\"-?\\d+,\\d+\"")));
}

// Drawn headless whatever the environment says, in the --lang language; a target it
// cannot write is one message.
void TJournalsCliTest::chart() {
    const QString out = dir_.filePath(QStringLiteral("chart.png"));
    QImage pictures[3];
    const QStringList runs[3] = {{"trip", "ru", "QT_QPA_PLATFORM="},
                                 {"trip", "en", "QT_QPA_PLATFORM="},
                                 {"tank", "en", "QT_QPA_PLATFORM=no-such-platform"}};
    for (int k = 0; k < 3; ++k) {
        QFile::remove(out);
        const TRun run =
            Run({"journals", file_, "--which", runs[k][0], "--chart", "-o", out, "--lang", runs[k][1]},
                {runs[k][2], "DISPLAY=", "WAYLAND_DISPLAY="});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY(pictures[k].load(out, "PNG"));
        QCOMPARE(pictures[k].size(), QSize(1200, 600));
    }
    QVERIFY(pictures[0] != pictures[1] && pictures[1] != pictures[2]);
    const QString missing = dir_.filePath(QStringLiteral("missing/chart.png"));
    const TRun failed = Run({"journals", file_, "--which", "trip", "--chart", "-o", missing});
    QCOMPARE(failed.exitCode, 1);
    QVERIFY2(failed.err.contains("Cannot write file \"" + missing + '"'), qPrintable(failed.err));
}

// Only --chart starts a widgets application: without a platform, the rest still works.
void TJournalsCliTest::otherCommandsNeedNoDisplay() {
    for (const char *output : {"--json", "--csv", "--lang=en"}) {
        const QStringList args{"journals", file_, "--which", "trip", output};
        const TRun broken = Run(args, {"QT_QPA_PLATFORM=no-such-platform"});
        QCOMPARE(broken.exitCode, 0);
        QCOMPARE(broken.err, QString());
        QCOMPARE(broken.out, Run(args).out);
    }
}

QTEST_GUILESS_MAIN(TJournalsCliTest)
#include "tst_JournalsCli.moc"
