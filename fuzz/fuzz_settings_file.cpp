// Settings file bytes through loading, the section readers and writers and saving.

#include "FuzzImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TMK &mk = FuzzImage::Fresh();
    if (!FuzzImage::Load(mk, data, size)) return 0;
    // A file comes back from a save exactly as it was read.
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    if (SettingsFile::Encode(mk) != file) std::abort();
    for (int k = 1; k <= MKLayout::SectionCount; ++k)
        mk.StoreSection(k);
    mk.LoadAllSections();
    (void)SettingsFile::Encode(mk);
    return 0;
}
