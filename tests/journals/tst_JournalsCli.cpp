// tripconf-cli journals: the built binary prints what the viewer would save.

#include "JournalsFixture.h"
#include "base/Lang.h"
#include "model/Journals.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

TRun Run(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(TRIPCONF_CLI), args);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
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

QTEST_GUILESS_MAIN(TJournalsCliTest)
#include "tst_JournalsCli.moc"
