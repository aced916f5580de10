// tripconf-cli journals: the built binary prints what the viewer would save.

#include "JournalsFixture.h"
#include "base/Lang.h"
#include "model/Journals.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

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

QTEST_GUILESS_MAIN(TJournalsCliTest)
#include "tst_JournalsCli.moc"
