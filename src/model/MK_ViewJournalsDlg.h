#pragma once
// TMK_ViewJournalsDlg: the modal journal viewer. It shows and clears the journals and
// accumulators in the working fields of TMK, draws the two journals as charts and
// exports a journal as text or its chart as PNG; whether its changes reach the image
// is up to TMK::ViewJournals.

#include "base/Prompts.h"
#include "model/Journals.h"

#include <QDialog>
#include <QTableWidget>
#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class TJournalChartView;
class TMK;

// A string grid: cells addressed (column, row), the first fixedRows rows and
// fixedCols columns drawn as headings and never selected.
class TJournalGrid : public QTableWidget {
    Q_OBJECT
public:
    TJournalGrid(QWidget *parent, const char *name, int columns, int rows, int fixedRows, int fixedCols);

    QString Cells(int column, int row) const;
    void SetCells(int column, int row, const QString &text);
    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    // Data cells right-aligned.
    void SetRightAligned(bool right);

    // Every cell's text, row by row.
    Journals::TTextGrid Texts() const;
    // Writes the rows from row `first` on; cells beyond the given ones are left alone.
    void Fill(const Journals::TTextGrid &rows, int first = 0);
    void Clear();

    // Widest text of each column from row firstRow on, plus padding.
    QList<int> ContentWidths(int firstRow = 0) const;

signals:
    void GridDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void InitRow(int row);

    int fixedRows_;
    int fixedCols_;
    bool rightAligned_ = false;
};

class TMK_ViewJournalsDlg : public QDialog {
    Q_OBJECT
public:
    // faultFormat: the current protocol's way of writing trouble codes.
    TMK_ViewJournalsDlg(TMK &mk, int faultFormat, QWidget *parent = nullptr);

    int FaultFormat() const { return faultFormat_; }

    QTabWidget *pcMain;
    QWidget *tsTrip, *tsTank, *tsAver, *tsErr, *tsCharts;
    TJournalGrid *sgTrip, *sgTank;
    QPushButton *bTrip, *bTripReset, *bTank, *bTankReset;
    std::array<TJournalGrid *, Journals::AccumulatorCount> AverGrids{}; // general … gas only
    TJournalGrid *sgAllSum, *sgTripSum, *sgResetSum, *sgStopSum, *sgNoStopSum, *sgTankSum, *sgOilOnlySum,
        *sgGasOnlySum;
    std::array<QLabel *, Journals::AccumulatorCount> AverCaptions{};
    QLabel *lAverHint;
    TJournalGrid *sgErrors, *sgStopCadr;
    QPushButton *bErrrJReset;
    // The charts page: one chart per journal, the radio buttons choose which is shown.
    QRadioButton *rbTripChart, *rbTankChart;
    QStackedWidget *pcCharts;
    TJournalChartView *chTrip, *chTank;
    QPushButton *bChartSave;
    QPushButton *OKBtn, *CancelBtn;
    TFileDialogOptions SaveDialog1;
    TFileDialogOptions SaveChartDialog;

    // The handlers, public so that tests can drive them as the buttons do.
    void FormShow();
    void SaveGrid(TJournalGrid *grid);
    void ClearJournal(Journals::TJournal journal);
    void ClearErrors();
    void ClearAccumulator(Journals::TAccumulator which);
    void ShowFreezeFrame(int row);
    void SaveChart();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildControls();
    void ApplyLanguage();
    void FillJournal(Journals::TJournal journal);
    void FillErrors();
    void FillAverages(Journals::TAccumulator which);
    void FitColumns();

    TMK &mk_;
    int faultFormat_;
    bool shown_ = false;
};
