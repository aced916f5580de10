// The port directory, the scan and the fallbacks to the lowest present port.

#include "FakePrompts.h"
#include "LinkTest.h"
#include "TestEnv.h"

#include "base/IniFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace LinkTest;

namespace {

// Ports 3 and 7 present, each with a device.
struct TTwoPorts {
    TSimDevice Device3, Device7;
    TSimPortDirectory *Ports = new TSimPortDirectory;
    std::unique_ptr<TML_RS> Link;

    TTwoPorts() {
        Ports->Attach(3, &Device3);
        Ports->Attach(7, &Device7);
        Ports->Attach(9, nullptr).Present = false; // known, but not found by the scan
        Link = std::make_unique<TML_RS>(std::unique_ptr<TPortDirectory>(Ports));
        Link->FirstByteTimeout = 100;
    }
    int Opens(int n) { return Ports->Line(n).Opens; }
};

class TScriptedChoice final : public TPortChoice {
public:
    bool Gate = true;
    int Answer = 0;
    QList<int> Offered;
    int Preselected = -1;
    int Asked = 0;

    bool PassGate() override { return Gate; }
    int ChoosePort(const TML_RS_Base &link) override {
        ++Asked;
        Offered.clear();
        for (int n = 1; n <= TML_RS_Base::MaxPorts; ++n)
            if (link.PortPresent[size_t(n)]) Offered << n;
        Preselected = link.PortNumber;
        return Answer;
    }
    std::optional<int> ChooseBaudRate(int) override { return {}; }
};

// Sets an environment variable for one test and puts the old value back.
class TEnvScope {
public:
    TEnvScope(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~TEnvScope() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

} // namespace

class TestPorts : public QObject {
    Q_OBJECT

private slots:
    void parseOverride_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "n=path" joined by '|'
        QTest::newRow("two ports") << "1=/dev/pts/4;2=/dev/ttyUSB0"
                                   << "1=/dev/pts/4|2=/dev/ttyUSB0";
        QTest::newRow("spaces and empty entries") << " 3 = /dev/x ; ;"
                                                  << "3=/dev/x";
        QTest::newRow("out of range and broken") << "0=/a;33=/b;x=/c;4=;=/d;junk;32=/e"
                                                 << "32=/e";
        QTest::newRow("later entry wins") << "5=/a;5=/b"
                                          << "5=/b";
        QTest::newRow("a path with '='") << "6=/dev/serial/by-id/a=b"
                                         << "6=/dev/serial/by-id/a=b";
    }

    void parseOverride() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QStringList got;
        const QMap<int, QString> map = ParsePortOverride(text);
        for (auto it = map.begin(); it != map.end(); ++it)
            got << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
        QCOMPARE(got.join('|'), expected);
    }

    void portDetails_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("expected");
        QTest::newRow("USB adapter") << "FT232R USB UART" << "FTDI" << "A1B2C3" << 0x0403 << 0x6001
                                     << "FT232R USB UART, FTDI, serial A1B2C3, USB 0403:6001";
        QTest::newRow("maker named in the description") << "CP2102 USB to UART Bridge" << "Silicon Labs cp2102" << ""
                                                        << 0x10c4 << 0xea60 << "CP2102 USB to UART Bridge, Silicon Labs cp2102, USB 10c4:ea60";
        QTest::newRow("repeated maker dropped") << "Prolific PL2303" << "Prolific" << "" << 0x067b << 0x2303
                                                << "Prolific PL2303, USB 067b:2303";
        QTest::newRow("nothing known") << "" << "" << "" << -1 << -1 << "";
    }

    void portDetails() {
        QFETCH(QString, description);
        QFETCH(QString, manufacturer);
        QFETCH(QString, serial);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QString, expected);
        QCOMPARE(PortDetails(TPortInfo{description, manufacturer, serial, vid, pid}), expected);
        QCOMPARE(PortDetails(QStringLiteral("/dev/pts/none")), QString()); // a device the system does not list
    }

    void linuxRule_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("path");
        QTest::newRow("0") << 0 << "";
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM8") << 8 << "/dev/ttyS7";
        QTest::newRow("COM9") << 9 << "/dev/ttyUSB0";
        QTest::newRow("COM20") << 20 << "/dev/ttyUSB11";
        QTest::newRow("COM21") << 21 << "/dev/ttyACM0";
        QTest::newRow("COM32") << 32 << "/dev/ttyACM11";
        QTest::newRow("33") << 33 << "";
    }

    void linuxRule() {
#if defined(Q_OS_LINUX)
        QFETCH(int, port);
        QFETCH(QString, path);
        TEnvScope env("TRIPCONF_PORTS", "");
        QCOMPARE(PortDevicePath(port), path);
#else
        QSKIP("Linux numbering only");
#endif
    }

    void overrideReplacesTheRule() {
#if defined(Q_OS_UNIX)
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain"));
        QVERIFY(TestEnv::WriteFile(plain, "x"));
        TEnvScope env("TRIPCONF_PORTS", "2=/dev/null;5=/nonexistent/ttyQ;7=" + QFile::encodeName(plain));
        TSystemPortDirectory ports;
        QCOMPARE(ports.DevicePath(2), QStringLiteral("/dev/null"));
        QCOMPARE(ports.DevicePath(1), QString()); // the rule is off
        QVERIFY(ports.Probe(2));                  // a character device
        QVERIFY(!ports.Probe(5));                 // missing
        QVERIFY(!ports.Probe(7));                 // not a device
        QVERIFY(!ports.Probe(1));

        TFakePrompts prompts;
        TML_RS link;
        QCOMPARE(link.PortCount, 1);
        QCOMPARE(link.PortNumber, 2);
        QCOMPARE(link.PortDevicePath(2), QStringLiteral("/dev/null"));
        QCOMPARE(prompts.Log.size(), 0);
#else
        QSKIP("POSIX devices only");
#endif
    }

    void fallback_data() {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("opens");
        QTest::newRow("present 7") << 7 << 7 << true;
        QTest::newRow("present 3") << 3 << 3 << true;
        QTest::newRow("absent 5") << 5 << 3 << true;
        QTest::newRow("known but absent 9") << 9 << 3 << true;
        QTest::newRow("33") << 33 << 3 << true;
        QTest::newRow("40 (from a config file)") << 40 << 3 << true;
        QTest::newRow("0 does nothing") << 0 << 3 << false;
        QTest::newRow("-1 does nothing") << -1 << 3 << false;
    }

    void fallback() {
        QFETCH(int, requested);
        QFETCH(int, expected);
        QFETCH(bool, opens);
        TTwoPorts rig;
        QCOMPARE(rig.Link->PortCount, 2);
        QCOMPARE(rig.Link->PortNumber, 3); // the lowest, at creation
        QCOMPARE(rig.Link->FirstPresentPort(), 3);
        rig.Link->OpenPort(requested);
        QCOMPARE(rig.Link->PortNumber, expected);
        QCOMPARE(rig.Link->IsOpen(), opens);
        QCOMPARE(rig.Opens(expected), opens ? 1 : 0);
        if (opens) {
            rig.Link->Command(244, 1);
            QCOMPARE((expected == 3 ? rig.Device3 : rig.Device7).Requests(), 1);
        }
    }

    void noPortAtAll() {
        TFakePrompts prompts;
        TML_RS link(std::make_unique<TSimPortDirectory>());
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox), QStringList{NoPort});
        QCOMPARE(link.PortNumber, 0);
        QCOMPARE(link.PortCount, 0);
        link.OpenPort(1);
        link.SetActive(true); // PortNumber 0: nothing to open, nothing said
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox), (QStringList{NoPort, NoPort}));
        QVERIFY(!link.IsOpen());
        link.FirstByteTimeout = 10;
        QCOMPARE(Failure([&] { link.Command(244, 1); }), NoLink + "\n" + NoPort);
        link.SelectPort();
        QCOMPARE(prompts.Count(TFakePrompts::ErrorBox), 3);
    }

    void settings() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tripconf.ini"));
        for (const auto &[text, port] :
             {std::pair{"[RS232]\nPort=7\n", 7}, std::pair{"[RS232]\nPort=40\n", 3},
              std::pair{"[RS232]\nPort=5\n", 3}, std::pair{"[Common]\nEnglish=1\n", 3}}) {
            QVERIFY(TestEnv::WriteFile(path, text));
            TTwoPorts rig;
            TIniFile ini(path);
            rig.Link->LoadSettings(ini);
            QCOMPARE(rig.Link->PortNumber, port);
            QVERIFY(rig.Link->IsOpen());
        }
        {
            TTwoPorts rig;
            rig.Link->OpenPort(7);
            TIniFile ini(path);
            rig.Link->SaveSettings(ini);
        }
        TIniFile ini(path);
        QCOMPARE(ini.ReadInteger(QStringLiteral("RS232"), QStringLiteral("Port"), 0), 7);
    }

    void selectPort() {
        TFakePrompts prompts;
        TScriptedChoice choice;
        SetPortChoice(&choice);
        TTwoPorts rig;
        rig.Link->OpenPort(7);
        QCOMPARE(rig.Opens(7), 1);

        choice.Answer = 0; // cancelled
        rig.Link->SelectPort();
        QCOMPARE(choice.Offered, (QList<int>{3, 7}));
        QCOMPARE(choice.Preselected, 7);
        QCOMPARE(rig.Link->PortNumber, 7);
        QCOMPARE(rig.Opens(7), 2); // closed for the scan and opened once again
        QVERIFY(rig.Link->IsOpen());

        choice.Answer = 3;
        rig.Link->SelectPort();
        QCOMPARE(rig.Link->PortNumber, 3);
        QCOMPARE(rig.Opens(3), 1);

        choice.Gate = false;
        rig.Link->SelectPort();
        QCOMPARE(choice.Asked, 2);
        QCOMPARE(rig.Opens(3), 1);

        choice.Gate = true;
        rig.Ports->Line(3).Present = false;
        rig.Ports->Line(7).Present = false;
        rig.Link->SelectPort();
        QCOMPARE(choice.Asked, 2);
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox), QStringList{NoPort});
        QVERIFY(!rig.Link->IsOpen());
        SetPortChoice(nullptr);
    }

    void scanClosesThePort() {
        TTwoPorts rig;
        rig.Link->SetActive(true);
        QVERIFY(rig.Link->PortOpen);
        QCOMPARE(rig.Link->ScanPorts(), 2);
        QVERIFY(!rig.Link->IsOpen());
        QVERIFY(!rig.Link->PortOpen);
    }

    void openFailureReason() {
        TTwoPorts rig;
        rig.Ports->Line(3).OpenError = QStringLiteral("Device or resource busy");
        rig.Link->OpenPort(3);
        QVERIFY(!rig.Link->PortOpen);
        QCOMPARE(rig.Link->OpenFailure(), QStringLiteral("sim:3: Device or resource busy"));
        rig.Link->OpenPort(7);
        QVERIFY(rig.Link->PortOpen);
        QVERIFY(rig.Link->OpenFailure().isEmpty());
    }
};

#include "TestPorts.moc"

QObject *MakeTestPorts() {
    return new TestPorts;
}
