#include "model/SectionTable.h"

#include "base/Bytes.h"
#include "base/Lang.h"
#include "model/MKLayout.h"

#include <algorithm>
#include <vector>

namespace {

// clang-format off
const TBiText kNoHeader{"в нём %1 байт, меньше заголовка с таблицей разделов (60 байт).",
                        "it holds %1 bytes, fewer than the 60-byte header with the section table."};
const TBiText kTooFew{"в таблице разделов %1 разделов, а нужно не меньше 11.",
                      "the section table lists %1 sections, but at least 11 are needed."};
const TBiText kTooMany{"в таблице разделов %1 разделов, а в заголовке есть место только для 14.",
                       "the section table lists %1 sections, but the header holds only 14."};
const TBiText kTooShort{"раздел %1 (адрес %2, длина %3) короче 4 байт.",
                        "section %1 (address %2, length %3) is shorter than 4 bytes."};
const TBiText kInHeader{"раздел %1 (адрес %2, длина %3) начинается в заголовке (адреса МК до 91).",
                        "section %1 (address %2, length %3) starts inside the header (device addresses up to 91)."};
const TBiText kOutside{"раздел %1 (адрес %2, длина %3) выходит за пределы данных (адреса МК 92 … %4).",
                       "section %1 (address %2, length %3) runs past the data (device addresses 92 … %4)."};
const TBiText kOverlap{"разделы %1 (адрес %2, длина %3) и %4 (адрес %5, длина %6) перекрываются.",
                       "sections %1 (address %2, length %3) and %4 (address %5, length %6) overlap."};
// clang-format on

struct TEntry {
    int section, address, length;
};

} // namespace

QString SectionTable::Fault(const QByteArray &image) {
    using MKLayout::DeviceAddressOfImage;
    using MKLayout::HeaderSize;
    const int held = int(image.size());
    if (held < HeaderSize) return kNoHeader.text().arg(held);
    const auto *bytes = reinterpret_cast<const uint8_t *>(image.constData());
    const int n = bytes[0];
    if (n < MKLayout::SectionCount) return kTooFew.text().arg(n);
    if (n > MaxEntries) return kTooMany.text().arg(n);

    // The last device address the image holds, and only in the first half of the memory.
    const int end = std::min(held + DeviceAddressOfImage, MemoryEnd);
    std::vector<TEntry> entries;
    for (int k = 1; k <= n; ++k) {
        const TEntry e{k, LE::Get<uint16_t>(bytes + 4 * k), LE::Get<uint16_t>(bytes + 4 * k + 2)};
        if (e.length < 4) return kTooShort.text().arg(k).arg(e.address).arg(e.length);
        if (e.address < DeviceAddressOfImage + HeaderSize)
            return kInHeader.text().arg(k).arg(e.address).arg(e.length);
        if (e.address + e.length > end) return kOutside.text().arg(k).arg(e.address).arg(e.length).arg(end - 1);
        entries.push_back(e);
    }
    std::sort(entries.begin(), entries.end(), [](const TEntry &a, const TEntry &b) {
        return a.address != b.address ? a.address < b.address : a.section < b.section;
    });
    for (size_t i = 1; i < entries.size(); ++i) {
        const TEntry &a = entries[i - 1], &b = entries[i];
        if (a.address + a.length > b.address) {
            const TEntry &first = a.section < b.section ? a : b, &second = a.section < b.section ? b : a;
            return kOverlap.text()
                .arg(first.section)
                .arg(first.address)
                .arg(first.length)
                .arg(second.section)
                .arg(second.address)
                .arg(second.length);
        }
    }
    return {};
}
