#include "editor/PageBlocks.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The selection bitmap: bit n mod 8 of byte n div 8 selects system n. It fills the
// first two name slots of the service section. Byte 0 also holds the show mode
// (bit 0) and the list mode (bit 7); no system has those numbers.
constexpr const char *kBitmap = "ServiceNames";

struct TCandidate {
    int id;
    const char *name;
};

// Every system the device knows, in the order the page lists them; the same names in
// both languages.
// clang-format off
constexpr TCandidate kCandidates[] = {
    {93, "Доп.устройства"}, {8, "Иммо АПС-4"}, {10, "Иммо АПС-6"}, {11, "Иммо АПС-6.1Люкс"},
    {12, "Отопитель/Климат"}, {13, "ЭМУР Калуга"}, {14, "ЭМУР Махачкала"}, {15, "ЭМУР Mando"},
    {16, "СНПБ (подушки)"}, {17, "Электропак.Приора"}, {18, "Электропак.Норма"}, {19, "Электропак.Люкс"},
    {20, "МДВ Калина Люкс"}, {21, "ABS 5.3"}, {22, "ABS 8/9"}, {23, "ABS 9У"}, {24, "Бл.Упр.Стеклоочист."},
    {26, "СНПБ Ш-Н(подушки)"}, {31, "Электропакет УАЗ"}, {32, "Пульт клим.уст.УАЗ"}, {34, "UAZ AWD Dymos"},
    {35, "UAZ AWD Dymos2"}, {51, "ABS Largus"}, {52, "ЭП Largus"}, {66, "Электропак. УАЗ 1"},
    {67, "Под.Нива TRW"}, {68, "Под.Нива Siemens"}, {116, "Duster ABS 1"}, {117, "Duster подушки 1"},
    {118, "Duster ЭМУР 1"}, {25, "Таката (подушки)"}, {27, "Bosch ESP9"}, {28, "Bosch ABS/ESP9"},
    {29, "АКПП Jatco AY-K3"}, {30, "Электропакет Гранта"}, {36, "Клим.уст. Visteon"}, {37, "АКПП AMT ZF 2180"},
    {38, "ABS Ford"}, {39, "АКПП Ford"}, {40, "HEC (приборка) Ford"}, {41, "ЭГУР Ford"},
    {42, "HCM (фары) Ford"}, {43, "FACM (впрыск) Ford"}, {44, "AWD Ford"}, {45, "АКПП Niss2"},
    {46, "CVT Outlander"}, {47, "АКПП Pajero"}, {48, "АКПП Captiva"}, {49, "АКПП SsangYong"},
    {50, "АКПП Hover H5"}, {53, "АКПП Niss3"}, {54, "АКПП Outl 3.0"}, {55, "Веста ABS9"},
    {56, "Веста под.Takata"}, {57, "Веста приб.панель"}, {58, "Веста ЭМУР"}, {59, "Веста ЭП BCM"},
    {60, "Веста ЭП EMM"}, {61, "X-Ray ABS 9.1"}, {62, "X-Ray EPS"}, {63, "X-Ray приб.панель"},
    {64, "X-Ray ЭП BCM"}, {65, "X-Ray подушки"}, {69, "АКПП Hyund/Kia"}, {71, "АКПП Mazda1"},
    {72, "АКПП Mazda23"}, {73, "АКПП Suzuki1"}, {74, "CVT Outlander16"}, {75, "АКПП Astra"},
    {76, "Климат.Valeo"}, {77, "Bosch ESP9.1"}, {78, "HV ECU Estima20"}, {79, "HV Battery Prius2"},
    {80, "HV ECU Prius3"}, {140, "HV ECU Prius5"}, {81, "Климат Тойота"}, {82, "HV ECU Aqua"},
    {84, "HV ECU RX450H"}, {85, "HV ECU ES300H"}, {115, "HV ECU RX400H"}, {119, "HV ECU Camry5"},
    {141, "HV ECU Camry4"}, {120, "HV ECU Sai"}, {121, "HV ECU Harrier"}, {130, "HV control Prius2"},
    {143, "HV ECU GS450H"}, {131, "Сист.рекупер.2"}, {136, "Подушки Тойота"}, {142, "HV ECU Prius51"},
    {134, "HV ECU Prius35"}, {149, "ECU Estima10"}, {145, "HV contr.Estima10"}, {144, "HV batt.Estima10"},
    {150, "HV ECU Prius52"}, {151, "MotGen Prius51"}, {83, "Веста Эра-Глонас"}, {86, "АКПП Niss4"},
    {87, "АКПП Niss1"}, {88, "АКПП Chery QR019"}, {89, "АКПП Kuga1"}, {133, "АКПП Kuga2"}, {90, "АКПП Niss5"},
    {91, "АКПП Suzuki2"}, {92, "АКПП Suzuki3"}, {94, "Duster Упр.впрыском"}, {95, "Duster ABS"},
    {96, "Duster приборка"}, {97, "Duster ЦЭКБС"}, {98, "Duster подушки"}, {99, "Duster климат"},
    {100, "Duster АКПП"}, {101, "Duster ЭМУР"}, {102, "Duster коммутация"}, {103, "Duster полн.привод"},
    {104, "Duster Радио"}, {105, "Duster телематика"}, {106, "Duster HandsFree"}, {107, "Duster Multimedia"},
    {108, "CVT Patriot"}, {109, "АКПП Hyund/Kia3"}, {110, "АКПП A13 Bonus/Very"},
    {111, "АКПП Chery A16 Arr 3"}, {112, "CVT Geely Emgr EC7"}, {113, "CVT Punch VT2"}, {114, "CVT TCU"},
    {122, "Creta конд."}, {123, "Creta ус.руля"}, {124, "Creta ABS"}, {125, "Creta подушки"},
    {126, "Creta ЭП BCM"}, {127, "Creta приборка"}, {128, "Creta смарт-ключ"}, {129, "Creta соед.блок"},
    {132, "АКПП Hyund/Kia3"}, {137, "АКПП Punch 6L60"}, {139, "ABS Тойота"}, {138, "УАЗ селектор АКПП"},
    {146, "Рено саж.фильтр"}, {147, "АКПП Volvo XC60"}, {148, "АКПП Skoda"}, {152, "ABS APG"},
    {153, "TPMS HyundKia1"}, {154, "TPMS HyundKia2"}, {155, "TPMS Peugeot"}, {156, "TPMS Mazda"},
    {157, "TPMS Mitsu"}, {158, "TPMS Opel"}, {159, "TPMS Renault"}, {160, "TPMS Suzuki"}, {161, "TPMS Toyota"},
    {162, "TPMS Ford"}, {163, "TPMS Honda"}, {164, "TPMS Jeep"}, {165, "TPMS ToyotaK1"},
    {166, "TPMS ToyotaK2"}, {167, "TPMS ToyotaK3"}, {168, "TPMS ToyotaK4"}, {169, "TPMS ToyotaK5"},
};
// clang-format on

QTableWidget *Grid(QWidget *parent, const char *name, int columns) {
    auto *g = new QTableWidget(parent);
    g->setObjectName(QLatin1String(name));
    g->setColumnCount(columns);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setTabKeyNavigation(false); // Tab goes on to the next control; the arrows move between rows
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return g;
}

QLabel *Title(QWidget *parent, const char *name) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

TPageBlocks::TPageBlocks(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(18);

    auto *modes = new QVBoxLayout;
    // clang-format off
    rgBlocksShow = b.Radio({.control = "rgBlocksShow", .caption = {"Показывать", "Show"},
                            .map = {[](const TMK &m) { return QVariant(double(m.Bit(kBitmap, 0, 0))); },
                                    [this](TMK &, const QVariant &mode) { ShowModeClicked(int(mode.toDouble())); }},
                            .items = {{"Все", "All"}, {"Протокол", "Protocol"}}}, this);
    rgBlocksShowList = b.Radio({.control = "rgBlocksShowList", .caption = {"Показывать", "Show"},
                                .map = Map::Bit(TAddr(kBitmap, 0), 7),
                                .items = {{"Списком", "List"}, {"По типам", "By types"}}}, this);
    // clang-format on
    StaticText1 = Title(this, "StaticText1");
    StaticText1->setWordWrap(true);
    modes->addWidget(rgBlocksShow);
    modes->addWidget(rgBlocksShowList);
    modes->addSpacing(12);
    modes->addWidget(StaticText1);
    modes->addStretch(1);
    auto *modesBox = new QWidget(this);
    modesBox->setLayout(modes);
    modes->setContentsMargins(0, 0, 0, 0);
    modesBox->setFixedWidth(220);
    columns->addWidget(modesBox);

    const auto list = [this, columns](QLabel *&title, const char *titleName, QTableWidget *&grid,
                                      const char *name, int count) {
        auto *box = new QVBoxLayout;
        title = Title(this, titleName);
        grid = Grid(this, name, count);
        box->addWidget(title);
        box->addWidget(grid, 1);
        columns->addLayout(box, 1);
    };
    list(lAllBlocks, "lAllBlocks", sgAllBlocks, "sgAllBlocks", 2);
    list(lUsedBlocks, "lUsedBlocks", sgUsedBlocks, "sgUsedBlocks", 1);
    sgAllBlocks->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    connect(sgAllBlocks, &QTableWidget::cellDoubleClicked, this, &TPageBlocks::AllBlocksPicked);
    connect(sgUsedBlocks, &QTableWidget::cellDoubleClicked, this, &TPageBlocks::UsedBlocksPicked);
    sgAllBlocks->installEventFilter(this);
    sgUsedBlocks->installEventFilter(this);
    ApplyTexts();
}

void TPageBlocks::AllBlocksPicked(int row) {
    if (row < 0 || row >= offered_.size()) return;
    Select(offered_[row].id, !Selected(offered_[row].id));
    Fill();
}

void TPageBlocks::UsedBlocksPicked(int row) {
    if (row < 0 || row >= used_.size()) return;
    Select(used_[row].id, false);
    Fill();
}

bool TPageBlocks::eventFilter(QObject *watched, QEvent *event) {
    const auto *key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
    const bool enter = key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (enter && watched == sgAllBlocks) {
        AllBlocksPicked(sgAllBlocks->currentRow());
        return true;
    }
    if (enter && watched == sgUsedBlocks) {
        UsedBlocksPicked(sgUsedBlocks->currentRow());
        return true;
    }
    return TEditorPage::eventFilter(watched, event);
}

void TPageBlocks::ApplyTexts() {
    lAllBlocks->setText(Bi("Все доступные", "All available"));
    lUsedBlocks->setText(Bi("Выбранные", "Selected"));
    sgAllBlocks->setHorizontalHeaderLabels({Bi("Название", "Name"), Bi("Выбр.", "Sel.")});
    sgUsedBlocks->setHorizontalHeaderLabels({Bi("Название", "Name")});
    StaticText1->setText(Bi("Двойной щелчок в левой таблице изменяет выбор\n\n"
                            "Двойной щелчок в правой таблице отменяет выбор",
                            "Double-click in the left table changes the selection\n\n"
                            "Double-click in the right table cancels the selection"));
}

void TPageBlocks::Load() {
    ApplyTexts();
}

bool TPageBlocks::Selected(int id) const {
    return mk.Bit(kBitmap, id % 8, id / 8);
}

void TPageBlocks::Select(int id, bool on) {
    mk.SetBit(kBitmap, id % 8, on, id / 8);
}

void TPageBlocks::Activated() {
    // The catalogue says which systems this device offers.
    offered_.clear();
    const TProtCatalogue &cat = Prots();
    for (const TCandidate &c : kCandidates) {
        if (offered_.size() >= MaxBlocks) break;
        if (c.id >= TProtCatalogue::UnitFirst && c.id <= TProtCatalogue::UnitLast &&
            cat.UnitAvailable[size_t(c.id)])
            offered_.push_back({c.id, QString::fromUtf8(c.name)});
    }
    b.Load(rgBlocksShow);
    b.Load(rgBlocksShowList);
    Fill();
    active_ = true;
}

void TPageBlocks::hideEvent(QHideEvent *event) {
    active_ = false;
    TEditorPage::hideEvent(event);
}

void TPageBlocks::Fill() {
    used_.clear();
    sgAllBlocks->setRowCount(int(offered_.size()));
    for (int r = 0; r < offered_.size(); ++r) {
        const bool on = Selected(offered_[r].id);
        sgAllBlocks->setItem(r, 0, new QTableWidgetItem(offered_[r].name));
        auto *mark = new QTableWidgetItem(on ? QStringLiteral("V") : QString());
        mark->setTextAlignment(Qt::AlignCenter);
        sgAllBlocks->setItem(r, 1, mark);
        if (on) used_.push_back(offered_[r]);
    }
    sgUsedBlocks->setRowCount(int(used_.size()));
    for (int r = 0; r < used_.size(); ++r)
        sgUsedBlocks->setItem(r, 0, new QTableWidgetItem(used_[r].name));
}

void TPageBlocks::ShowModeClicked(int mode) {
    if (!active_) return;
    const TProtBase *p = ctx.Protocol();
    for (const TBlock &block : offered_) {
        bool on = true;
        if (mode == 1) {
            const auto units = p ? p->UnitList() : std::span<const uint8_t>();
            on = std::find(units.begin(), units.end(), uint8_t(block.id)) != units.end();
        }
        Select(block.id, on);
    }
    Fill();
    mk.SetBit(kBitmap, 0, mode == 1, 0);
}
