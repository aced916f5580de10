#pragma once
// Page tsLim: alarm limits.

#include "editor/EditorPage.h"

class QGroupBox;

class TPageLim : public TEditorPage {
    Q_OBJECT
public:
    TPageLim(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;
    void ApplyProtocolRules() override;

private:
    // Each trim limit bounds the other (low < high): after one moved, the other takes its
    // bounds from the stored values, and a value they leave outside is clamped into them
    // and stored at once. Also at load, so limits that cross (in a file) are pulled apart.
    void KeepTrimLimitInBounds(TSpinEdit *limit, const char *field);
    QString LiqTemperCaption() const;

    TSpinEdit *seLiqTemperLimit;
    TSpinEdit *seLiqTemperReady;
    TSpinEdit *seVentTempLimit;
    TSpinEdit *seVAGSFilterLimit;
    TSpinEdit *seOilAKPPTemperLimit;
    TSpinEdit *seOilEngTemperLimit;
    TSpinEdit *seCVTFDeteriorLim;
    TSpinEdit *seRetarderOilTemperLimit;
    TSpinEdit *seInvTemperLimit;
    TSpinEdit *seHVBTemperLimit;
    TSpinEdit *seAddCoolingTemper;
    TSpinEdit *seElEngTemperLimit;
    TSpinEdit *seHybrVentSpeedStep;
    QCheckBox *cbHybridCoolHVB;
    QCheckBox *cbHybrUse6VentSpeed;
    TSpinEdit *seTrimLowLimit;
    TSpinEdit *seTrimHighLimit;
};
