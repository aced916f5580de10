#include "TestEnv.h"

#include "base/Bytes.h"
#include "model/MKLayout.h"

#include <QFile>

QByteArray TestEnv::ReadFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TestEnv::WriteFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray TestEnv::SampleImage(int size) {
    QByteArray image(size, '\0');
    auto *p = reinterpret_cast<uint8_t *>(image.data());
    for (int i = 0; i < size; ++i) p[i] = uint8_t((i * 7 + 13) ^ (i >> 8));
    p[0] = MKLayout::SectionCount;
    p[1] = 0;
    int address = 32 + MKLayout::HeaderSize;
    for (int k = 1; k <= MKLayout::SectionCount; ++k) {
        const int length = MKLayout::SectionSize[size_t(k)] + 4;
        LE::Put<uint16_t>(p + 4 * k, uint16_t(address));
        LE::Put<uint16_t>(p + 4 * k + 2, uint16_t(length));
        address += length;
    }
    return image;
}
