#pragma once
// Page tsColor: the day and night colour schemes (palette and the element indices of
// the digit screens and the menu) with previews of the screens in the scheme being
// edited.

#include "editor/EditorPage.h"

#include <array>

class QPushButton;
class QTabWidget;
class QTableWidget;
class TPaintBox;
class TPreviewRefresh;

class TPageColor : public TEditorPage {
    Q_OBJECT
public:
    TPageColor(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;
    void Activated() override;

    // Redraws what is visible: the grids of the current colour page and its previews.
    void Refresh();

private:
    void PaletteRowSelected(int row);
    void ElementRowSelected(TSpinEdit *spin, int &current, int row);
    void StorePaletteColour();
    TValueMap Component(int component);
    TValueMap ElementIndex(const int &row, const int *elements);
    void ColoursChanged();
    void SchemeChanged();
    void InitializeAll();
    void ReloadColourControls();
    void CheckElements(TPreviewRefresh &refresh, const int *elements, int count);
    const char *PaletteField() const;
    const char *ElementsField() const;

    int paletteRow_ = 0;
    int digitRow_ = 0;
    int menuRow_ = 0;

    QTableWidget *sgPalette;
    TSpinEdit *seR;
    TSpinEdit *seG;
    TSpinEdit *seB;
    QLabel *lColorTab;
    TRadioGroup *rgCurrColorSchemeNum;
    QPushButton *bPaletteInit;
    QTabWidget *pcColor;
    QWidget *tsColorDig;
    QWidget *tsColorMenu;
    QTableWidget *sgDigit;
    TSpinEdit *seDigit;
    QTableWidget *sgMenu;
    TSpinEdit *seMenu;
    QTabWidget *pcColorDig;
    QWidget *tsColorDig1;
    QWidget *tsColorDig4;
    TPaintBox *pbDigit1;
    TPaintBox *pbDigit7;
    TPaintBox *pbDigit4;
    TPaintBox *pbDigit9;
    TPaintBox *pbDigit6;
    TPaintBox *pbDigit3;
    TPaintBox *pbMenu;
};
