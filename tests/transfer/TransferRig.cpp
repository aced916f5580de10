#include "TransferRig.h"

namespace TransferTest {

QList<int> TProgressLog::Gauges() const {
    QList<int> out;
    for (const QString &e : Events)
        if (e.startsWith(QLatin1String("gauge:"))) out << e.mid(6).toInt();
    return out;
}

QStringList TProgressLog::Labels() const {
    QStringList out;
    for (const QString &e : Events)
        if (e.startsWith(QLatin1String("label:"))) out << e.mid(6);
    return out;
}

TRequest Parse(const QByteArray &frame) {
    TRequest r;
    if (frame.size() < 6) return r;
    r.Address = uint8_t(frame[1]);
    r.Command = uint8_t(frame[4]);
    r.Payload = frame.mid(5, frame.size() - 6);
    return r;
}

TDeviceTransfer TRig::Transfer() {
    TDeviceTransfer t(
        Link, MK, [this] { return std::make_unique<TRecordingProgress>(Progress); }, DeviceAddress,
        DeviceMemorySize);
    t.SetImageButtonsEnabled = [this](bool on) { Buttons << on; };
    t.MakeBackup = Backup;
    return t;
}

QList<TRequest> TRig::Requests(int command) const {
    QList<TRequest> out;
    for (const QByteArray &frame : Line.Written) {
        const TRequest r = Parse(frame);
        if (command < 0 || r.Command == command) out << r;
    }
    return out;
}

int SectionAddress(const QByteArray &memory, int k) {
    return LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(memory.constData()) + 32 + 4 * k);
}

int SectionLength(const QByteArray &memory, int k) {
    return LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(memory.constData()) + 32 + 4 * k + 2);
}

QByteArray MemoryWithSections(const QList<QPair<int, int>> &sections, uint8_t variant) {
    QByteArray memory(TSimDevice::MemorySize, '\0');
    auto *m = reinterpret_cast<uint8_t *>(memory.data());
    for (int i = 0; i < memory.size(); ++i)
        m[i] = uint8_t(i * 13 + (i >> 7));
    std::fill(m + 32, m + 92, uint8_t(0));
    m[32] = uint8_t(sections.size());
    m[33] = variant;
    for (int k = 1; k <= sections.size(); ++k) {
        LE::Put<uint16_t>(m + 32 + 4 * k, uint16_t(sections[k - 1].first));
        LE::Put<uint16_t>(m + 32 + 4 * k + 2, uint16_t(sections[k - 1].second));
    }
    return memory;
}

QList<QPair<int, int>> Eleven(QList<QPair<int, int>> sections) {
    for (int at = 3500; sections.size() < 11; at += 4)
        sections << QPair<int, int>{at, 4};
    return sections;
}

} // namespace TransferTest
