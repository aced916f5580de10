#pragma once
// Page tsBlocks: the additional vehicle systems the device polls, chosen from those
// the catalogue offers on this device.

#include "editor/EditorPage.h"

#include <QList>

class QTableWidget;

class TPageBlocks : public TEditorPage {
    Q_OBJECT
public:
    TPageBlocks(TEditorContext &ctx, QWidget *parent = nullptr);

    struct TBlock {
        int id;
        QString name;
    };
    static constexpr int MaxBlocks = 201;

    void Load() override;
    void Activated() override;
    const QList<TBlock> &Offered() const { return offered_; }

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyTexts();
    void Fill();
    // "All" selects every offered system, "Protocol" exactly those of the current
    // protocol; only while the page is active, so loading the mode changes nothing.
    void ShowModeClicked(int mode);
    // A double click, or Enter on the current row: the left list toggles, the right one clears.
    void AllBlocksPicked(int row);
    void UsedBlocksPicked(int row);
    bool Selected(int id) const;
    void Select(int id, bool on);

    TRadioGroup *rgBlocksShow;
    TRadioGroup *rgBlocksShowList;
    QTableWidget *sgAllBlocks;
    QTableWidget *sgUsedBlocks;
    QLabel *lAllBlocks;
    QLabel *lUsedBlocks;
    QLabel *StaticText1;
    QList<TBlock> offered_;
    QList<TBlock> used_;
    bool active_ = false;
};
