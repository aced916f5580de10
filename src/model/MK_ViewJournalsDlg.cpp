#include "model/MK_ViewJournalsDlg.h"

#include "base/Error.h"
#include "base/Folders.h"
#include "base/Lang.h"
#include "base/SafeFile.h"
#include "model/JournalChartView.h"
#include "model/JournalCharts.h"
#include "model/MK.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

using namespace Journals;

namespace {

constexpr int kClientWidth = 1016;
constexpr int kClientHeight = 523;
constexpr int kCellPadding = 10; // room left and right of a cell's text
constexpr int kStopCadrLabelWidth = 380;
constexpr int kStopCadrValueWidth = 144;
constexpr int kStopCadrRows = 41; // grows when a frame has more lines

QPushButton *Button(QWidget *parent, const char *name) {
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// Widths that fill `available`: every column gets its content width, the spare room
// goes to column `to`, or is shared out evenly when `to` is -1.
QList<int> Spread(QList<int> widths, int available, int to = -1) {
    const int sum = std::accumulate(widths.begin(), widths.end(), 0);
    const int spare = available - sum;
    if (spare > 0 && to >= 0 && to < widths.size()) {
        widths[to] += spare;
    } else if (spare > 0 && !widths.isEmpty()) {
        const int n = int(widths.size());
        for (int i = 0; i < n; ++i)
            widths[i] += spare / n + (i < spare % n ? 1 : 0);
    }
    return widths;
}

int RowHeight(const QWidget *w) {
    return w->fontMetrics().height() + 4;
}

} // namespace

// --- TJournalGrid --------------------------------------------------------------------

TJournalGrid::TJournalGrid(QWidget *parent, const char *name, int columns, int rows, int fixedRows,
                           int fixedCols)
    : QTableWidget(rows, columns, parent), fixedRows_(fixedRows), fixedCols_(fixedCols) {
    setObjectName(QLatin1String(name));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setDefaultSectionSize(RowHeight(this));
    horizontalHeader()->setMinimumSectionSize(8);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(false);
    for (int r = 0; r < rows; ++r)
        InitRow(r);
}

void TJournalGrid::InitRow(int row) {
    for (int c = 0; c < columnCount(); ++c) {
        if (item(row, c)) continue;
        auto *it = new QTableWidgetItem;
        const bool fixed = row < fixedRows_ || c < fixedCols_;
        if (fixed) {
            it->setFlags(Qt::ItemIsEnabled);
            it->setBackground(palette().button());
            it->setForeground(palette().buttonText());
            it->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            it->setTextAlignment((rightAligned_ ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
        setItem(row, c, it);
    }
}

QString TJournalGrid::Cells(int column, int row) const {
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void TJournalGrid::SetCells(int column, int row, const QString &text) {
    if (column < 0 || column >= columnCount() || row < 0) return;
    if (row >= rowCount()) SetRowCount(row + 1);
    item(row, column)->setText(text);
}

void TJournalGrid::SetRowCount(int rows) {
    const int old = rowCount();
    setRowCount(std::max(rows, 1));
    for (int r = old; r < rowCount(); ++r)
        InitRow(r);
}

void TJournalGrid::SetRightAligned(bool right) {
    rightAligned_ = right;
    for (int r = fixedRows_; r < rowCount(); ++r)
        for (int c = fixedCols_; c < columnCount(); ++c)
            item(r, c)->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

TTextGrid TJournalGrid::Texts() const {
    TTextGrid grid;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < columnCount(); ++c)
            row << Cells(c, r);
        grid << row;
    }
    return grid;
}

void TJournalGrid::Fill(const TTextGrid &rows, int first) {
    for (int i = 0; i < rows.size(); ++i)
        for (int c = 0; c < rows[i].size() && c < columnCount(); ++c)
            SetCells(c, first + i, rows[i][c]);
}

void TJournalGrid::Clear() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            item(r, c)->setText(QString());
}

QList<int> TJournalGrid::ContentWidths(int firstRow) const {
    QList<int> widths(columnCount(), 0);
    const QFontMetrics fm = fontMetrics();
    for (int r = firstRow; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            widths[c] = std::max(widths[c], fm.horizontalAdvance(Cells(c, r)) + kCellPadding);
    return widths;
}

void TJournalGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit GridDoubleClicked();
}

// --- TMK_ViewJournalsDlg ------------------------------------------------------------------

TMK_ViewJournalsDlg::TMK_ViewJournalsDlg(TMK &mk, int faultFormat, QWidget *parent)
    : QDialog(parent), mk_(mk), faultFormat_(faultFormat) {
    setObjectName(QStringLiteral("MK_ViewJournalsDlg"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    SaveDialog1.defaultSuffix = QStringLiteral("txt");
    SaveChartDialog.defaultSuffix = QStringLiteral("png");
    SaveChartDialog.filter = QStringLiteral("PNG (*.png)");
    BuildControls();
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ApplyLanguage();
}

void TMK_ViewJournalsDlg::BuildControls() {
    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));

    auto page = [this](const char *name) {
        auto *w = new QWidget;
        w->setObjectName(QLatin1String(name));
        pcMain->addTab(w, QString());
        return w;
    };
    tsTrip = page("tsTrip");
    tsTank = page("tsTank");
    tsAver = page("tsAver");
    tsErr = page("tsErr");
    tsCharts = page("tsCharts");

    // Trip and refuelling pages: the grid, the buttons below it.
    auto journalPage = [](QWidget *ts, TJournalGrid *grid, QPushButton *save, QPushButton *reset) {
        grid->SetRightAligned(true);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(save);
        buttons->addWidget(reset);
        buttons->addStretch(1);
        auto *l = new QVBoxLayout(ts);
        l->setContentsMargins(4, 4, 4, 4);
        l->setSpacing(4);
        l->addWidget(grid);
        l->addLayout(buttons);
        l->addStretch(1);
    };
    sgTrip = new TJournalGrid(tsTrip, "sgTrip", JournalColumns, JournalRows, 1, 1);
    bTrip = Button(tsTrip, "bTrip");
    bTripReset = Button(tsTrip, "bTripReset");
    journalPage(tsTrip, sgTrip, bTrip, bTripReset);
    sgTank = new TJournalGrid(tsTank, "sgTank", JournalColumns, JournalRows, 1, 1);
    bTank = Button(tsTank, "bTank");
    bTankReset = Button(tsTank, "bTankReset");
    journalPage(tsTank, sgTank, bTank, bTankReset);

    // Averages: eight tables under their captions, four to a row, the hint below.
    static const char *const gridNames[AccumulatorCount] = {"sgAllSum",     "sgTripSum",   "sgResetSum",
                                                            "sgStopSum",    "sgNoStopSum", "sgTankSum",
                                                            "sgOilOnlySum", "sgGasOnlySum"};
    static const char *const captionNames[AccumulatorCount] = {"lAllSum",     "lTripSum",   "lResetSum",
                                                               "lStopSum",    "lNoStopSum", "lTankSum",
                                                               "lOilOnlySum", "lGasOnlySum"};
    auto *aver = new QGridLayout;
    aver->setHorizontalSpacing(10);
    aver->setVerticalSpacing(2);
    for (int i = 0; i < AccumulatorCount; ++i) {
        AverCaptions[size_t(i)] = new QLabel(tsAver);
        AverCaptions[size_t(i)]->setObjectName(QLatin1String(captionNames[i]));
        AverGrids[size_t(i)] = new TJournalGrid(tsAver, gridNames[i], 2, AveragesRows, 0, 1);
        const int row = (i / 4) * 3;
        aver->addWidget(AverCaptions[size_t(i)], row, i % 4);
        aver->addWidget(AverGrids[size_t(i)], row + 1, i % 4);
        const auto which = TAccumulator(i);
        connect(AverGrids[size_t(i)], &TJournalGrid::GridDoubleClicked, this,
                [this, which] { ClearAccumulator(which); });
    }
    aver->setRowMinimumHeight(2, 14);
    sgAllSum = AverGrids[0];
    sgTripSum = AverGrids[1];
    sgResetSum = AverGrids[2];
    sgStopSum = AverGrids[3];
    sgNoStopSum = AverGrids[4];
    sgTankSum = AverGrids[5];
    sgOilOnlySum = AverGrids[6];
    sgGasOnlySum = AverGrids[7];
    lAverHint = new QLabel(tsAver);
    lAverHint->setObjectName(QStringLiteral("lAverHint"));
    lAverHint->setWordWrap(true);
    {
        auto *l = new QVBoxLayout(tsAver);
        l->setContentsMargins(8, 8, 8, 8);
        l->addLayout(aver);
        l->addSpacing(16);
        l->addWidget(lAverHint);
        l->addStretch(1);
    }

    // Errors: the list with its clear button on the left, the freeze frame on the right.
    sgErrors = new TJournalGrid(tsErr, "sgErrors", ErrorListColumns, ErrorListRows, 1, 1);
    sgStopCadr = new TJournalGrid(tsErr, "sgStopCadr", 2, kStopCadrRows, 0, 0);
    sgStopCadr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bErrrJReset = Button(tsErr, "bErrrJReset");
    {
        auto *left = new QVBoxLayout;
        left->setSpacing(4);
        left->addWidget(sgErrors);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(bErrrJReset);
        buttons->addStretch(1);
        left->addLayout(buttons);
        left->addStretch(1);
        auto *l = new QHBoxLayout(tsErr);
        l->setContentsMargins(4, 4, 4, 4);
        l->setSpacing(8);
        l->addLayout(left, 1);
        l->addWidget(sgStopCadr);
    }
    // Charts: which journal, the save button, the chart below.
    rbTripChart = new QRadioButton(tsCharts);
    rbTripChart->setObjectName(QStringLiteral("rbTripChart"));
    rbTripChart->setChecked(true);
    rbTankChart = new QRadioButton(tsCharts);
    rbTankChart->setObjectName(QStringLiteral("rbTankChart"));
    bChartSave = Button(tsCharts, "bChartSave");
    pcCharts = new QStackedWidget(tsCharts);
    pcCharts->setObjectName(QStringLiteral("pcCharts"));
    chTrip = new TJournalChartView(pcCharts);
    chTrip->setObjectName(QStringLiteral("chTrip"));
    chTank = new TJournalChartView(pcCharts);
    chTank->setObjectName(QStringLiteral("chTank"));
    pcCharts->addWidget(chTrip);
    pcCharts->addWidget(chTank);
    {
        auto *choice = new QHBoxLayout;
        choice->setSpacing(12);
        choice->addWidget(rbTripChart);
        choice->addWidget(rbTankChart);
        choice->addStretch(1);
        choice->addWidget(bChartSave);
        auto *l = new QVBoxLayout(tsCharts);
        l->setContentsMargins(4, 4, 4, 4);
        l->setSpacing(4);
        l->addLayout(choice);
        l->addWidget(pcCharts, 1);
    }
    connect(rbTripChart, &QRadioButton::toggled, this,
            [this](bool trip) { pcCharts->setCurrentWidget(trip ? chTrip : chTank); });
    connect(bChartSave, &QPushButton::clicked, this, [this] { SaveChart(); });

    connect(sgErrors, &QTableWidget::currentCellChanged, this, [this](int row) { ShowFreezeFrame(row); });
    connect(sgErrors, &QTableWidget::cellClicked, this, [this](int row) { ShowFreezeFrame(row); });

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton *b : {OKBtn, CancelBtn})
        b->setMinimumWidth(90);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(OKBtn);
    bottom->addWidget(CancelBtn);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(6);
    main->addWidget(pcMain, 1);
    main->addLayout(bottom);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // Escape closes from anywhere, whichever control has the focus.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QDialog::reject);

    connect(bTrip, &QPushButton::clicked, this, [this] { SaveGrid(sgTrip); });
    connect(bTank, &QPushButton::clicked, this, [this] { SaveGrid(sgTank); });
    connect(bTripReset, &QPushButton::clicked, this, [this] { ClearJournal(TJournal::Trip); });
    connect(bTankReset, &QPushButton::clicked, this, [this] { ClearJournal(TJournal::Tank); });
    connect(bErrrJReset, &QPushButton::clicked, this, [this] { ClearErrors(); });
}

void TMK_ViewJournalsDlg::ApplyLanguage() {
    setWindowTitle(Bi("Просмотр журналов", "Viewing logs"));
    pcMain->setTabText(pcMain->indexOf(tsTrip), Bi("Журнал поездок", "Trip log"));
    pcMain->setTabText(pcMain->indexOf(tsTank), Bi("Журнал заправок", "Petrol log"));
    pcMain->setTabText(pcMain->indexOf(tsAver), Bi("Средние", "Average"));
    pcMain->setTabText(pcMain->indexOf(tsErr), Bi("Журнал ошибок", "Faults log"));
    pcMain->setTabText(pcMain->indexOf(tsCharts), Bi("Графики", "Charts"));
    rbTripChart->setText(Bi("Журнал поездок", "Trip log"));
    rbTankChart->setText(Bi("Журнал заправок", "Petrol log"));
    bChartSave->setText(Bi("Сохранить график в PNG…", "Save chart as PNG…"));
    for (QPushButton *b : {bTrip, bTank})
        b->setText(Bi("Сохранить в файл", "Save to file"));
    for (QPushButton *b : {bTripReset, bTankReset, bErrrJReset})
        b->setText(Bi("Очистить", "Clear"));
    for (int i = 0; i < AccumulatorCount; ++i)
        AverCaptions[size_t(i)]->setText(AccumulatorCaption(TAccumulator(i)));
    lAverHint->setText(Bi("Для сброса накопителей сделайте двойной щелчок мыши на соответствующей таблице",
                          "To reset the adders, double-click on the corresponding table"));
    CancelBtn->setText(Bi("Отмена", "Cancel"));
}

void TMK_ViewJournalsDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TMK_ViewJournalsDlg::FormShow() {
    pcMain->setCurrentIndex(0);
    SaveDialog1.directory = Folders::FileDialogStart();
    SaveChartDialog.directory = SaveDialog1.directory;
    ApplyLanguage();
    FillJournal(TJournal::Trip);
    FillJournal(TJournal::Tank);
    FillErrors();
    for (int i = 0; i < AccumulatorCount; ++i)
        FillAverages(TAccumulator(i));
    FitColumns();
}

void TMK_ViewJournalsDlg::FillJournal(TJournal journal) {
    (journal == TJournal::Trip ? sgTrip : sgTank)->Fill(JournalGrid(mk_, journal));
    (journal == TJournal::Trip ? chTrip : chTank)->SetChart(JournalCharts::Build(mk_, journal));
}

void TMK_ViewJournalsDlg::FillErrors() {
    sgErrors->Fill(ErrorListGrid(mk_, faultFormat_));
    const int row = sgErrors->currentRow() >= 1 ? sgErrors->currentRow() : 1;
    if (sgErrors->currentRow() != row)
        sgErrors->setCurrentCell(row, 1); // shows its freeze frame
    else
        ShowFreezeFrame(row);
}

void TMK_ViewJournalsDlg::FillAverages(TAccumulator which) {
    TJournalGrid *grid = AverGrids[size_t(which)];
    const TTextGrid rows = AveragesGrid(mk_, which);
    int written = 0;
    for (const QStringList &row : rows) {
        grid->SetCells(0, written, row.value(0));
        grid->SetCells(1, written, row.value(1));
        ++written;
    }
    grid->SetRowCount(written);
}

void TMK_ViewJournalsDlg::ShowFreezeFrame(int row) {
    if (row < 1 || row > MKLayout::ErrorRecords) return;
    sgStopCadr->Clear();
    const TTextGrid lines = FreezeFrame(mk_, row - 1);
    if (lines.isEmpty()) return;
    sgStopCadr->Fill(lines);
    sgStopCadr->SetRowCount(int(lines.size()));
}

void TMK_ViewJournalsDlg::SaveGrid(TJournalGrid *grid) {
    const QString path = Prompts().SaveFileName(SaveDialog1);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) &&
        !Prompts().Confirm(Bi("Файл уже существует. Переписать?", "The file already exists. Rewrite it?")))
        return;
    try {
        Journals::SaveGrid(grid->Texts(), path);
    } catch (const Error &e) {
        Prompts().ShowApplicationError(e.message());
    }
}

void TMK_ViewJournalsDlg::SaveChart() {
    const QString path = Prompts().SaveFileName(SaveChartDialog);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) &&
        !Prompts().Confirm(Bi("Файл уже существует. Переписать?", "The file already exists. Rewrite it?")))
        return;
    try {
        // The chart as it is on the screen.
        auto *view = static_cast<TJournalChartView *>(pcCharts->currentWidget());
        SafeFile::Write(path, PngBytes(view->Picture()));
    } catch (const Error &e) {
        Prompts().ShowError(e.message());
    }
}

void TMK_ViewJournalsDlg::ClearJournal(TJournal journal) {
    Journals::ClearJournal(mk_, journal);
    FillJournal(journal);
}

void TMK_ViewJournalsDlg::ClearErrors() {
    ClearErrorJournal(mk_);
    FillErrors();
}

void TMK_ViewJournalsDlg::ClearAccumulator(TAccumulator which) {
    Journals::ClearAccumulator(mk_, which);
    FillAverages(which);
}

// Columns as wide as their widest text in either language; the spare room of a grid is
// shared out so that it fills its place.
void TMK_ViewJournalsDlg::FitColumns() {
    const int rh = RowHeight(this);
    const int frame = 2 * sgTrip->frameWidth();
    // Only the current page has its geometry yet; all pages share it.
    const int pageWidth = pcMain->currentWidget()->width();

    // Texts that may appear later (after clearing or in the other language) count too.
    auto widest = [this](std::initializer_list<QString> texts) {
        int w = 0;
        for (const QString &t : texts)
            w = std::max(w, fontMetrics().horizontalAdvance(t) + kCellPadding);
        return w;
    };
    const int emptyWidth = widest({QStringLiteral("Пусто"), QStringLiteral("Empty")});

    // The journal grids: headings on one line when there is room, else wrapped at
    // their spaces onto two lines (or more, as the last resort); the rows shrink
    // towards the font's height when the page is short.
    const int gridRoom = pcMain->currentWidget()->height() - 8 - bTrip->sizeHint().height() - 4 - frame;
    for (TJournalGrid *grid : {sgTrip, sgTank}) {
        const int available = pageWidth - 8 - frame;
        const QList<int> full = [&] {
            QList<int> w = grid->ContentWidths();
            w[1] = std::max(w[1], emptyWidth);
            return w;
        }();
        QList<int> widths = full;
        if (std::accumulate(widths.begin(), widths.end(), 0) > available) {
            QList<int> body = grid->ContentWidths(1);
            body[1] = std::max(body[1], emptyWidth);
            QList<int> twoLines = body, anyLines = body;
            for (int c = 0; c < grid->ColCount(); ++c) {
                const QStringList words = grid->Cells(c, 0).split(QLatin1Char(' '));
                int best = full[c];
                for (int split = 1; split < words.size(); ++split)
                    best = std::min(best, std::max(widest({words.mid(0, split).join(QLatin1Char(' '))}),
                                                   widest({words.mid(split).join(QLatin1Char(' '))})));
                twoLines[c] = std::max(body[c], best);
                for (const QString &word : words)
                    anyLines[c] = std::max(anyLines[c], widest({word}));
            }
            widths = std::accumulate(twoLines.begin(), twoLines.end(), 0) <= available ? twoLines : anyLines;
            // Room to spare first unwraps the headings that need the least of it.
            int spare = available - std::accumulate(widths.begin(), widths.end(), 0);
            QList<std::pair<int, int>> needs; // (width missing, column)
            for (int c = 0; c < grid->ColCount(); ++c)
                if (full[c] > widths[c]) needs.append({full[c] - widths[c], c});
            std::sort(needs.begin(), needs.end());
            for (const auto &[need, c] : needs) {
                if (need > spare) break;
                widths[c] += need;
                spare -= need;
            }
        }
        widths = Spread(widths, available);
        int headingHeight = rh;
        for (int c = 0; c < grid->ColCount(); ++c) {
            const QRect text = fontMetrics().boundingRect(QRect(0, 0, widths[c] - kCellPadding, 1000),
                                                          Qt::TextWordWrap, grid->Cells(c, 0));
            headingHeight = std::max(headingHeight, text.height() + 4);
        }
        const int rows = grid->RowCount() - 1;
        const int rowHeight =
            std::max(std::min(rh, (gridRoom - headingHeight) / rows), fontMetrics().height() + 1);
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->setColumnWidth(c, widths[c]);
        for (int r = 0; r < grid->RowCount(); ++r)
            grid->setRowHeight(r, r == 0 ? headingHeight : rowHeight);
        grid->setFixedSize(std::accumulate(widths.begin(), widths.end(), 0) + frame,
                           headingHeight + rowHeight * rows + frame);
    }

    {
        const int columnWidth = (pageWidth - 16 - 3 * 10) / 4;
        // One label width for all eight tables, so that they line up.
        int labelWidth = 0;
        for (const TJournalGrid *grid : AverGrids)
            labelWidth = std::max(labelWidth, grid->ContentWidths()[0]);
        for (TJournalGrid *grid : AverGrids) {
            const QList<int> widths = Spread({labelWidth, grid->ContentWidths()[1]}, columnWidth - frame, 1);
            for (int c = 0; c < 2; ++c)
                grid->setColumnWidth(c, widths[c]);
            for (int r = 0; r < grid->RowCount(); ++r)
                grid->setRowHeight(r, rh);
            grid->setFixedSize(std::accumulate(widths.begin(), widths.end(), 0) + frame,
                               rh * grid->RowCount() + frame);
        }
    }

    {
        // The freeze frame keeps its two columns at least 380 and 144 wide; a longer
        // label in either language widens them.
        int labelWidth = kStopCadrLabelWidth;
        int valueWidth = kStopCadrValueWidth;
        for (const bool english : {false, true}) {
            const TLangScope language(english);
            for (const QString &label : FreezeFrameLabels())
                labelWidth = std::max(labelWidth, widest({label}));
            for (int status = 0; status <= 16; ++status)
                valueWidth = std::max(valueWidth,
                                      widest({FuelSystemStatusText(status), SecondaryAirStatusText(status)}));
        }
        labelWidth = std::max(labelWidth, sgStopCadr->ContentWidths()[0]);
        valueWidth = std::max(valueWidth, sgStopCadr->ContentWidths()[1]);
        sgStopCadr->setColumnWidth(0, labelWidth);
        sgStopCadr->setColumnWidth(1, valueWidth);
        sgStopCadr->verticalHeader()->setDefaultSectionSize(rh);
        for (int r = 0; r < sgStopCadr->RowCount(); ++r)
            sgStopCadr->setRowHeight(r, rh);
        sgStopCadr->setFixedWidth(labelWidth + valueWidth +
                                  sgStopCadr->verticalScrollBar()->sizeHint().width() + frame);

        const int available = pageWidth - 8 - 8 - sgStopCadr->width() - frame;
        QList<int> widths = Spread(sgErrors->ContentWidths(), available, 2);
        for (int c = 0; c < sgErrors->ColCount(); ++c)
            sgErrors->setColumnWidth(c, widths[c]);
        for (int r = 0; r < sgErrors->RowCount(); ++r)
            sgErrors->setRowHeight(r, rh);
        sgErrors->setFixedSize(std::accumulate(widths.begin(), widths.end(), 0) + frame,
                               rh * sgErrors->RowCount() + frame);
    }
}
