#pragma once
// Helpers shared by the link tests: frames by hand, the expected texts, and a link
// wired to an in-process simulated device.

#include "SimSerialPort.h"
#include "base/Error.h"
#include "link/ML_RS232.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <initializer_list>
#include <memory>

namespace LinkTest {

// The texts as the user must see them.
inline const QString NoLink = QStringLiteral("RS232. No link. Check PC-device connection.");
inline const QString Delay = QStringLiteral("RS232. Delay within block error.");
inline const QString BadChecksum = QStringLiteral("RS232. Exchange error.(0)");
inline const QString EmptyHeader = QStringLiteral("RS232. Exchange error.(4)");
inline const QString NoPort = QStringLiteral("Can not find free serial port!");
inline const QString Busy =
    QStringLiteral("Устройство занято. Возможно, оно находится в режиме местного управления.");
inline const QString OnlyOne = QStringLiteral(
    "ТОЛЬКО ОДНО устройство, подключенное к СОМ-порту, должно быть включено. Это действительно так?");
inline const QString BaudRefused = QStringLiteral("RS232. Не могу установить нужную скорость обмена.");

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(uint8_t(v)));
    return out;
}

// LEN, the body, CHK.
inline QByteArray Frame(const QByteArray &body) {
    QByteArray f;
    f.append(char(body.size() + 2));
    f.append(body);
    unsigned sum = 0;
    for (char c : f)
        sum += uint8_t(c);
    f.append(char(uint8_t(256 - sum % 256)));
    return f;
}
inline QByteArray Frame(std::initializer_list<int> body) {
    return Frame(Bytes(body));
}

// The finished request as it would go on the line.
inline QByteArray Request(const TML_RS &link) {
    return QByteArray(reinterpret_cast<const char *>(link.TxBuf().data()), link.TxBuf()[0]);
}

// A link on port 1 wired to an in-process device; open, with short timeouts.
struct TRig {
    TSimDevice Device;
    TSimPortDirectory *Ports = new TSimPortDirectory;
    TSimLine &Line = Ports->Attach(1, &Device);
    std::unique_ptr<TML_RS> Link;

    explicit TRig(int firstByteTimeout = 100) {
        Link = std::make_unique<TML_RS>(std::unique_ptr<TPortDirectory>(Ports));
        Link->FirstByteTimeout = uint16_t(firstByteTimeout);
        Link->SetActive(true);
    }
};

// Runs f and returns the message of the Error it raised (empty when none) and the
// time it took.
template <typename F> QString Failure(F &&f, qint64 *elapsedMs = nullptr) {
    QElapsedTimer t;
    t.start();
    QString message;
    try {
        f();
    } catch (const Error &e) {
        message = e.message();
    }
    if (elapsedMs) *elapsedMs = t.elapsed();
    return message;
}

} // namespace LinkTest
