// Settings file bytes through the journal reports (trips, refuellings, faults, averages).

#include "FuzzImage.h"
#include "model/Journals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TMK &mk = FuzzImage::Fresh();
    if (!FuzzImage::Load(mk, data, size)) return 0;
    const int format = Journals::FaultFormatOf(mk);
    for (Journals::TReport which : {Journals::TReport::Trip, Journals::TReport::Tank,
                                    Journals::TReport::Errors, Journals::TReport::Averages})
        (void)Journals::Report(mk, which, format);
    for (int i = 0; i < MKLayout::ErrorRecords; ++i)
        (void)Journals::FreezeFrame(mk, i);
    return 0;
}
