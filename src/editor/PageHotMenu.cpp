#include "editor/PageHotMenu.h"

#include "model/MK.h"
#include "model/MenuItemsH.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

// --- grid ------------------------------------------------------------------------------

THotMenuGrid::THotMenuGrid(int page, QWidget *parent)
    : QTableWidget(TPageHotMenu::Places, 2, parent), page_(page) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("00")) + 16);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false); // Tab goes on to the next control; the arrows move between rows
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedHeight(TPageHotMenu::Places * verticalHeader()->defaultSectionSize() + 2 * frameWidth());
}

void THotMenuGrid::contextMenuEvent(QContextMenuEvent *event) {
    // From the keyboard the menu belongs to the current row.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int row = keyboard ? currentRow() : rowAt(event->pos().y());
    if (row < 0) return;
    selectRow(row);
    const QPoint at =
        keyboard ? viewport()->mapToGlobal(visualRect(model()->index(row, 1)).center()) : event->globalPos();
    emit ContextRequested(row, at);
}

void THotMenuGrid::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    const int row = rowAt(at.y());
    if (event->button() == Qt::LeftButton && row >= 0 && columnAt(at.x()) == 0) {
        dragFrom_ = row;
        selectRow(row);
        viewport()->setCursor(Qt::SizeVerCursor);
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void THotMenuGrid::mouseMoveEvent(QMouseEvent *event) {
    if (dragFrom_ < 0) return QTableWidget::mouseMoveEvent(event);
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0) selectRow(row);
}

void THotMenuGrid::mouseReleaseEvent(QMouseEvent *event) {
    if (dragFrom_ < 0) return QTableWidget::mouseReleaseEvent(event);
    const int from = std::exchange(dragFrom_, -1);
    viewport()->unsetCursor();
    const int to = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && to >= 0 && to != from) emit RowMoved(from, to);
}

// --- page ------------------------------------------------------------------------------

TPageHotMenu::TPageHotMenu(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(12, 12, 12, 12);
    auto *tables = new QGridLayout;
    tables->setHorizontalSpacing(18);
    page->addLayout(tables);
    const char *const names[] = {"sghmParams", "sghmAver", "sghmPark"};
    const char *const titleNames[] = {"lhmParams", "lhmAver", "lhmPark"};
    for (int p = 0; p < 3; ++p) {
        auto *grid = new THotMenuGrid(p, this);
        grid->setObjectName(QLatin1String(names[p]));
        grids[size_t(p)] = grid;
        titles[size_t(p)] = new QLabel(this);
        titles[size_t(p)]->setObjectName(QLatin1String(titleNames[p]));
        tables->addWidget(titles[size_t(p)], 0, p);
        tables->addWidget(grid, 1, p);
        tables->setColumnStretch(p, 1);
        connect(grid, &THotMenuGrid::ContextRequested, this,
                [this, grid](int row, const QPoint &at) { OpenMenu(grid, row, at); });
        connect(grid, &THotMenuGrid::RowMoved, this, [this, p](int from, int to) { Move(p, from, to); });
    }
    sghmParams = grids[0];
    sghmAver = grids[1];
    sghmPark = grids[2];
    lHotMenuHint = new QLabel(this);
    lHotMenuHint->setObjectName(QStringLiteral("lHotMenuHint"));
    lHotMenuHint->setWordWrap(true);
    page->addSpacing(12);
    page->addWidget(lHotMenuHint);
    page->addStretch(1);

    pmHotMenu = new QMenu(this);
    pmHotMenu->setObjectName(QStringLiteral("pmHotMenu"));
    pmInsert = pmHotMenu->addMenu(QString());
    pmInsert->setObjectName(QStringLiteral("pmInsert"));
    pmInsert->menuAction()->setObjectName(QStringLiteral("miInsert"));
    miDelete = pmHotMenu->addAction(QString(), this, [this] { Delete(); });
    miDelete->setObjectName(QStringLiteral("miDelete"));
    miClear = pmHotMenu->addAction(QString(), this, [this] { Clear(); });
    miClear->setObjectName(QStringLiteral("miClear"));
    ApplyTexts();
}

void TPageHotMenu::ApplyTexts() {
    titles[0]->setText(Bi("Параметры", "Parameters"));
    titles[1]->setText(QStringLiteral("Средние")); // one text in both languages
    titles[2]->setText(Bi("Парктроник", "Parktronic"));
    lHotMenuHint->setText(Bi("Для того, чтобы добавить или удалить пункт меню или очистить всю таблицу, "
                             "щелкните ПРАВОЙ кнопкой мыши в "
                             "соответствующей строке таблицы.",
                             "To add or remove a menu item or clear the entire table, RIGHT-click on the "
                             "corresponding row of the table.\n"
                             "To swap the menu items, click the LEFT mouse button on the left column of the "
                             "desired item, pull and "
                             "release in the desired row of the table."));
    pmInsert->setTitle(Bi("Вставить пункт", "Insert item"));
    miDelete->setText(Bi("Удалить пункт", "Delete item"));
    miClear->setText(Bi("Очистить список", "Clear all"));
}

void TPageHotMenu::ApplyDeviceFlags() {
    // A device without a parking radar has no parking hot menu; its entries stay as they are.
    b.SetShown(sghmPark, !ctx.caps.NoParktronic);
    b.SetShown(titles[2], !ctx.caps.NoParktronic);
}

void TPageHotMenu::Load() {
    ApplyTexts();
    Fill();
}

int TPageHotMenu::Entry(int page, int row) const {
    return int(mk.Get("HotMenu", page * Places + row));
}

void TPageHotMenu::SetEntry(int page, int row, int number) {
    mk.Set("HotMenu", number, page * Places + row);
}

void TPageHotMenu::Fill() {
    for (int p = 0; p < Pages; ++p) {
        QList<int> kept;
        for (int r = 0; r < Places; ++r)
            if (Entry(p, r) != 0) kept << Entry(p, r);
        for (int r = 0; r < Places; ++r)
            if (Entry(p, r) != (r < kept.size() ? kept[r] : 0)) SetEntry(p, r, r < kept.size() ? kept[r] : 0);
    }
    for (int p = 0; p < 3; ++p) {
        THotMenuGrid *grid = grids[size_t(p)];
        for (int r = 0; r < Places; ++r) {
            const TMKMenuItem *item = FindMenuItemByNumber(uint16_t(Entry(p, r)));
            grid->setItem(r, 0, new QTableWidgetItem(QString::number(r)));
            grid->setItem(r, 1, new QTableWidgetItem(item ? item->Caption : QString()));
        }
    }
}

void TPageHotMenu::OpenMenu(THotMenuGrid *grid, int row, const QPoint &globalPos) {
    menuPage_ = grid->Page();
    menuRow_ = row;
    BuildInsertMenu(menuPage_);
    pmHotMenu->popup(globalPos);
}

void TPageHotMenu::BuildInsertMenu(int page) {
    // Submenus are children of their menu, not of its actions: clear() alone keeps them.
    qDeleteAll(pmInsert->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    pmInsert->clear();
    const TDeviceCaps &caps = ctx.caps;
    // Items go in by their names; a name this device's tables lack is left out, and so
    // is a submenu left empty.
    const auto items = [this](QMenu *menu, std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (!name) continue;
            const TMKMenuItem *item = FindMenuItemByName(QLatin1String(name));
            if (!item) continue;
            QAction *a = menu->addAction(item->Caption);
            a->setObjectName(item->Name);
            const uint16_t number = item->Number;
            connect(a, &QAction::triggered, this, [this, number] { Insert(number); });
        }
    };
    const auto numbered = [&items](QMenu *menu, const char *prefix, int first, int last) {
        for (int i = first; i <= last; ++i) {
            const QByteArray name = QByteArray(prefix) + QByteArray::number(i) + "Menu";
            items(menu, {name.constData()});
        }
    };
    const auto sub = [](QMenu *parent, const TBiText &title) {
        QMenu *m = parent->addMenu(title.text());
        m->setObjectName(QStringLiteral("pmInsert_") + QString::fromUtf8(title.en));
        return m;
    };
    const auto dropIfEmpty = [](QMenu *m) {
        if (m->isEmpty()) delete m;
    };

    switch (page) {
    case 0: {
        QMenu *m = sub(pmInsert, {"Управление", "Control"});
        items(m, {"VirtLockMenu", "FullTankMenu", "ToTankMenu", "InTankMenu", "VentOnMenu", "PrognozMenu",
                  "InjTimeHHMenu", "ExpenseHHMenu", "CorrUOZMenu", "CandleDryMenu", "EBUInitMenu",
                  "EBUResetMenu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"Источники", "Resources"});
        items(m, {"TankMethMenu", caps.NoAirTemperature ? "LightsOnMenu" : nullptr, "IntenseDayTimeMenu",
                  "IntenseNightTimeMenu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"Границы", "Limits"});
        items(m, {"LiqTemperLimitMenu", "RevolutionsLimitMenu", "VelocityLimitMenu", "TankLimitMenu",
                  "VentTempLimitMenu", "InjTimeLimitMenu", "LiqTemperReadyMenu", "Vel100Menu",
                  "Vel100DownMenu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"Дисплей", "Display"});
        items(m, {"Intense0Menu", "Intense1Menu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"Озвуч.сообщения", "Voice messages"});
        items(m, {"AlarmPermJournMenu", "SoundVolumeMenu", "FlagSoundMenu", "SayParamPeriodMenu", "apVelMenu",
                  "AlarmVelSecNoSayMaxMenu", "apRevMenu", "apTankMenu",
                  caps.NoAirTemperature && caps.PowerReserveTerms ? nullptr : "apHoloMenu", "apEconomMenu",
                  "apGabarMenu", "apLightsMenu", "apTankFullMenu", "apInjTimeMenu", "apErrorMenu",
                  "apLiqTempHighMenu", "apLiqTempReadyMenu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"TO", "TS"});
        items(m, {"ErrorsMenu"});
        dropIfEmpty(m);
        break;
    }
    case 1: {
        items(pmInsert,
              {"InitTripParamsMenu", "InitReset0ParamsMenu", "InitReset1ParamsMenu", "InitStopParamsMenu",
               "InitNoStopParamsMenu", "InitResetOnlyParamsMenu", "TripMinStopMenu", "TripJournMenu"});
        QMenu *trips = sub(pmInsert, {"Журнал поездок", "Trip log"});
        items(trips, {"ContinueTripMenu", "WriteTripMenu"});
        QMenu *save = sub(trips, {"Записать", "Save"});
        numbered(save, "WriteTrip", 1, 20);
        dropIfEmpty(save);
        items(trips, {"ViewTripMenu"});
        QMenu *view = sub(trips, {"Просмотреть", "View"});
        numbered(view, "ViewTrip", 0, 20);
        dropIfEmpty(view);
        dropIfEmpty(trips);
        items(pmInsert, {"TankJournMenu"});
        QMenu *tanks = sub(pmInsert, {"Журнал заправок", "Petrol log"});
        numbered(tanks, "ViewTank", 0, 20);
        dropIfEmpty(tanks);
        break;
    }
    case 2: {
        QMenu *m = sub(pmInsert, {"Парковка", "Parking"});
        items(m, {"ParkOffMenu", "ParkUseMenu_0", "ParkSenseMenu_0", "ParkSpeedMenu_0", "ParkBeepTypeMenu",
                  "ParkAlwaysOnMenu"});
        dropIfEmpty(m);
        m = sub(pmInsert, {"Парковка вперед", "Front parling"});
        items(m, {"ParkUseMenu_1", "ParkForwConstOffMenu", "ParkSenseMenu_1", "ParkSpeedMenu_1"});
        dropIfEmpty(m);
        break;
    }
    default:
        break;
    }
}

void TPageHotMenu::Insert(uint16_t number) {
    // The entries from the row on move down by one; the last one is lost.
    for (int r = Places - 1; r > menuRow_; --r)
        SetEntry(menuPage_, r, Entry(menuPage_, r - 1));
    SetEntry(menuPage_, menuRow_, number);
    Fill();
}

void TPageHotMenu::Delete() {
    SetEntry(menuPage_, menuRow_, 0);
    Fill();
}

void TPageHotMenu::Clear() {
    for (int r = 0; r < Places; ++r)
        SetEntry(menuPage_, r, 0);
    Fill();
}

void TPageHotMenu::Move(int page, int from, int to) {
    QList<int> entries;
    for (int r = 0; r < Places; ++r)
        entries << Entry(page, r);
    entries.move(from, to);
    for (int r = 0; r < Places; ++r)
        SetEntry(page, r, entries[r]);
    Fill();
    grids[size_t(page)]->selectRow(to);
}
