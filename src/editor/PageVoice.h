#pragma once
// Page tsVoice: the voice alerts ("Предупреждения") and the other sound settings ("Разное").
//
// Each alert slot of the settings image is one byte: the mode of the first warning in
// bits 0-2, the mode of every following warning in bits 3-5. A row with one group keeps
// both fields equal.

#include "editor/EditorPage.h"

#include <vector>

class QTabWidget;

class TPageVoice : public TEditorPage {
    Q_OBJECT
public:
    TPageVoice(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;
    void ApplyProtocolRules() override;

    QTabWidget *pcVoice;

private:
    struct TAlertRow {
        std::vector<int> targets; // the first is the row's own; the others get the same byte
        TRadioGroup *first = nullptr;
        TRadioGroup *next = nullptr; // nullptr for rows with one group
    };

    QWidget *BuildAlerts();
    QWidget *BuildSoundMisc();
    // The byte of row i with one of its groups just picked; the other group adds what it
    // shows, or, showing nothing (a stored mode it has no item for), the mode the slot holds.
    int AlertByte(size_t i, const TRadioGroup *picked, int mode) const;
    void AlertStored(size_t i);
    void ShowRow(TRadioGroup *first, TRadioGroup *next, bool shown);

    QString LiqTempHighCaption() const;
    QString EngTemperHighCaption() const;
    QString WaterInFuelCaption() const;

    std::vector<TAlertRow> alerts_;

    // Rows the protocol rules show, hide or rename.
    TRadioGroup *rgapError_F = nullptr;
    TRadioGroup *rgapLiqTempHigh_F = nullptr, *rgapLiqTempHigh_N = nullptr;
    TRadioGroup *rgapLiqTempReady_F = nullptr;
    TRadioGroup *rgapSFilter_F = nullptr;
    TRadioGroup *rgapWaterInFuel_F = nullptr, *rgapWaterInFuel_N = nullptr;
    TRadioGroup *rgapTemperOilAKPPHigh_F = nullptr, *rgapTemperOilAKPPHigh_N = nullptr;
    TRadioGroup *rgapTemperOilEngHigh_F = nullptr, *rgapTemperOilEngHigh_N = nullptr;
    TRadioGroup *rgapCVTFDeterior_F = nullptr;
    TRadioGroup *rgapHVBTemperHigh_F = nullptr, *rgapHVBTemperHigh_N = nullptr;
    TRadioGroup *rgapInvTemperHigh_F = nullptr, *rgapInvTemperHigh_N = nullptr;
    TRadioGroup *rgapElEngTemperHigh_F = nullptr, *rgapElEngTemperHigh_N = nullptr;
    TRadioGroup *rgapEngTemperHigh_F = nullptr, *rgapEngTemperHigh_N = nullptr;
    TRadioGroup *rgapRetarderOilTemperHigh_F = nullptr, *rgapRetarderOilTemperHigh_N = nullptr;
};
