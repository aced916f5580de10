// The in-process link tests: frames, exchanges with a simulated device, ports, and
// the simulated device itself.

#include <QCoreApplication>
#include <QTest>
#include <memory>

QObject *MakeTestFrames();
QObject *MakeTestExchange();
QObject *MakeTestPorts();
QObject *MakeTestSim();

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto make : {MakeTestFrames, MakeTestExchange, MakeTestPorts, MakeTestSim}) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
