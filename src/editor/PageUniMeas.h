#pragma once
// Page tsUniMeas: the two-point calibration of the universal analogue input (trim).

#include "editor/EditorPage.h"

class QGroupBox;

class TPageUniMeas : public TEditorPage {
    Q_OBJECT
public:
    TPageUniMeas(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;

private:
    // The converter values of Min and Max must differ: leaving one equal to the other is
    // refused like a value that does not fit. other is read at store time.
    TValueMap AdcMap(const char *field, TSpinEdit *const &other);
    void ApplyTexts();

    QGroupBox *gbUniMeasCalibr;
    QGridLayout *grid;
    QLabel *lUniMeasHeader;
    TSpinEdit *seUniMeasDat0 = nullptr;
    TSpinEdit *seUniMeasADC0 = nullptr;
    TSpinEdit *seUniMeasDat1 = nullptr;
    TSpinEdit *seUniMeasADC1 = nullptr;
};
