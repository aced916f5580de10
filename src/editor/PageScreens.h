#pragma once
// The screen-assignment pages of the display page: tsParams1 (the single screen's
// bottom panel), tsParams4, tsParams9 and tsParams6. Each shows its stored screens
// in the scheme being edited; a right-click on a field opens the menu of the
// parameters that field can show, and choosing one stores it. Also the info panel
// page, which only shows an empty paint box.

#include "editor/EditorPage.h"
#include "editor/preview/PreviewScreens.h"

#include <QList>

class QMenu;
class QTabWidget;
class TPaintBox;

class TPageScreens : public TEditorPage {
    Q_OBJECT
public:
    void Activated() override;

    // Draws the screens of the visible page from their stored fields.
    void Refresh();

    // The screen and field of the last right-click (-1: none).
    int ClickedScreen() const { return clickedScreen_; }
    int ClickedField() const { return clickedField_; }

protected:
    // screen: what the page's paint boxes show; menuName: the name of its popup menu.
    TPageScreens(TEditorContext &ctx, QWidget *parent, Previews::TScreen screen, const char *menuName);

    // A row of paint boxes with tags first … first + count − 1. Labelled ones are named
    // prefix + (tag + 1) under "Дисплей n"; an unlabelled single box is named prefix.
    QWidget *ScreenRow(QWidget *parent, const char *prefix, int first, int count, bool labelled);
    QLabel *Hint(QWidget *parent);

    QTabWidget *subPages_ = nullptr; // the x4 page's two sub-pages

private:
    void ScreenClicked(TPaintBox *box, QPoint pos);
    void ParameterChosen(uint8_t code);

    Previews::TScreen screen_;
    QList<TPaintBox *> boxes_; // by tag
    QMenu *menu_;
    int clickedScreen_ = -1;
    int clickedField_ = -1;
};

class TPageParams1 : public TPageScreens {
    Q_OBJECT
public:
    TPageParams1(TEditorContext &ctx, QWidget *parent = nullptr);
};

class TPageParams4 : public TPageScreens {
    Q_OBJECT
public:
    TPageParams4(TEditorContext &ctx, QWidget *parent = nullptr);
    void Load() override;
};

class TPageParams9 : public TPageScreens {
    Q_OBJECT
public:
    TPageParams9(TEditorContext &ctx, QWidget *parent = nullptr);
};

class TPageParams6 : public TPageScreens {
    Q_OBJECT
public:
    TPageParams6(TEditorContext &ctx, QWidget *parent = nullptr);
};

class TPageInfoPanel : public TEditorPage {
    Q_OBJECT
public:
    TPageInfoPanel(TEditorContext &ctx, QWidget *parent = nullptr);
};
