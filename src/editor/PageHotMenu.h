#pragma once
// Sub-page tsHotMenu of the display page: the device's hot menus, three pages of ten
// menu items each (the fourth page is kept but not edited here).

#include "editor/EditorPage.h"

#include <QTableWidget>
#include <array>

class QMenu;

// A hot menu page: row numbers on the left, item captions on the right. A right click
// asks for the context menu; dragging by the left column moves an entry.
class THotMenuGrid : public QTableWidget {
    Q_OBJECT
public:
    THotMenuGrid(int page, QWidget *parent);
    int Page() const { return page_; }

signals:
    void ContextRequested(int row, const QPoint &globalPos);
    void RowMoved(int from, int to);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int page_;
    int dragFrom_ = -1;
};

class TPageHotMenu : public TEditorPage {
    Q_OBJECT
public:
    TPageHotMenu(TEditorContext &ctx, QWidget *parent = nullptr);

    static constexpr int Places = 10; // entries of a page
    static constexpr int Pages = 4;

    void ApplyDeviceFlags() override;
    void Load() override;
    void Activated() override { Fill(); }

    // Compacts every page (empty entries to the end, the others in their order) and
    // shows the captions of pages 0 … 2.
    void Fill();
    // The context menu of the last right click, and its insert menu.
    QMenu *PopupMenu() const { return pmHotMenu; }
    QMenu *InsertMenu() const { return pmInsert; }

private:
    void ApplyTexts();
    void OpenMenu(THotMenuGrid *grid, int row, const QPoint &globalPos);
    void BuildInsertMenu(int page);
    void Insert(uint16_t number);
    void Delete();
    void Clear();
    void Move(int page, int from, int to);
    int Entry(int page, int row) const;
    void SetEntry(int page, int row, int number);

    THotMenuGrid *sghmParams;
    THotMenuGrid *sghmAver;
    THotMenuGrid *sghmPark;
    std::array<THotMenuGrid *, 3> grids{}; // by page
    std::array<QLabel *, 3> titles{};
    QLabel *lHotMenuHint;
    QMenu *pmHotMenu;
    QMenu *pmInsert;
    QAction *miDelete;
    QAction *miClear;
    int menuPage_ = 0;
    int menuRow_ = 0;
};
