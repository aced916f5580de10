#pragma once
// Page tsLim: alarm limits.

#include "editor/EditorPage.h"

class QGroupBox;

class TPageLim : public TEditorPage {
    Q_OBJECT
public:
    TPageLim(TEditorContext &ctx, QWidget *parent = nullptr);

    void ApplyProtocolRules() override;

private:
    // Each trim limit bounds the other (low < high); a value the moved bound leaves
    // outside is clamped into it and stored at once.
    void TrimLimitStored(TSpinEdit *other, const char *otherField);
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
