#pragma once
// What the settings-file targets share: one settings image, put back to its state after
// construction before every input, so that an input alone decides what happens.

#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace FuzzImage {

// The settings image as a freshly started program has it.
inline TMK &Fresh() {
    static TMK mk;
    static const QByteArray working(reinterpret_cast<const char *>(mk.Working().data()),
                                    int(mk.Working().size()));
    static const uint16_t model = mk.ModelCode;
    mk.Image.Clear();
    mk.ModelCode = model;
    std::memcpy(mk.Working().data(), working.constData(), size_t(working.size()));
    return mk;
}

// The input as a settings file, loaded as the program loads one (false: too short).
// A file the load refuses still comes in as a device's memory would, which is not
// checked when it is read: whatever its table says must load safely.
inline bool Load(TMK &mk, const uint8_t *data, size_t size) {
    if (size < 2) return false;
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    if (SettingsFile::Fault(file).isEmpty()) {
        SettingsFile::Decode(mk, file);
    } else {
        mk.ModelCode = uint16_t(data[0] | data[1] << 8);
        mk.Image.Replace(SettingsFile::DecodeImage(file));
    }
    mk.LoadAllSections();
    return true;
}

} // namespace FuzzImage
