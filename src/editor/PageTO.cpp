#include "editor/PageTO.h"

#include "base/Error.h"
#include "base/Folders.h"
#include "editor/HeaderColumns.h"
#include "editor/TankServiceFiles.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TInterval {
    const char *spin;
    const char *check;
    const char *field;
    TBiText caption; // empty: the user names the item
    const char *nameEdit = nullptr;
    int nameOffset = 0; // of the name inside ServiceNames
};

// In the order of the bits 0 … 6 of ServiceFlags.
// clang-format off
const TInterval kIntervals[] = {
    {"seAirFiltCntK",  "cbAirFiltCntK",  "AirFiltCntK",  {"Замена.возд.ф.", "Air filt.repl."}},
    {"seKPPOilCntK",   "cbKPPOilCntK",   "KPPOilCntK",   {"Замена мас.КПП", "Gearbox oil ch"}},
    {"seForsTOCntK",   "cbForsTOCntK",   "ForsTOCntK",   {"", ""}, "eForsTOCntK", 32},
    {"seGRMStrapCntK", "cbGRMStrapCntK", "GRMStrapCntK", {"", ""}, "eGRMStrapCntK", 48},
    {"seCoolLiqCntK",  "cbCoolLiqCntK",  "CoolLiqCntK",  {"Замена охл.жидк.", "Coolant repl."}},
    {"seEngOilCntK",   "cbEngOilCntK",   "EngOilCntK",   {"Замена масла дв.", "Eng.oil change"}},
    {"seCandleCntK",   "cbCandleCntK",   "CandleCntK",   {"", ""}, "eCandleCntK", 64},
};
// clang-format on

bool NotCompact(const TDeviceCaps &c) {
    return !c.CompactService;
}

} // namespace

TPageTO::TPageTO(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(12, 12, 12, 12);
    auto *table = new QWidget(this);
    grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    page->addWidget(table, 0, Qt::AlignLeft);
    lTOHeader = new QLabel(table);
    lTOHeader->setObjectName(QStringLiteral("lTOHeader"));
    grid->addWidget(lTOHeader, 0, 0, 1, 3);

    // The check boxes of this page store when they are left.
    const auto use = [this, table](const char *name, int bit, TCapsPredicate caps = {}) {
        return b.Check({.control = name,
                        .caption = {"", ""},
                        .map = Map::Bit("ServiceFlags", bit),
                        .caps = std::move(caps),
                        .storeOn = TStoreOn::FocusOut},
                       table);
    };
    // A compact device counts the one service interval in hundreds of km.
    const bool compact = ctx.caps.CompactService;
    int row = 1;
    QList<QWidget *> tabOrder; // across each row: name, interval, use
    for (int i = 0; i < 7; ++i) {
        const TInterval &t = kIntervals[i];
        const TCapsPredicate caps = i == 0 ? TCapsPredicate{} : TCapsPredicate{NotCompact};
        TSpinRow spin{.control = t.spin,
                      .caption = t.caption,
                      .map = Map::Field(t.field),
                      .min = 0,
                      .max = 99,
                      .caps = caps};
        if (i == 0) {
            spin.map = Map::Field(t.field, compact ? 10 : 1);
            spin.max = compact ? 9.9 : 99;
            spin.step = compact ? 0.1 : 1;
            spin.decimals = compact ? 1 : 0;
            spin.captionFn = [this] {
                return ctx.caps.CompactService ? Bi("ТО тыс.км", "TS th.km")
                                               : Bi("Замена.возд.ф.", "Air filt.repl.");
            };
        }
        TSpinEdit *s = b.Spin(spin, table);
        if (i == 0) seAirFiltCntK = s;
        if (t.nameEdit) {
            // The user names this item; the edit takes the caption's place.
            delete b.Label(s);
            QLineEdit *name =
                b.Edit({.control = t.nameEdit,
                        .caption = {"", ""},
                        .map = Map::Text("ServiceNames", t.nameOffset, MKLayout::ServiceNameSize),
                        .maxLength = MKLayout::ServiceNameSize - 1,
                        .caps = NotCompact},
                       table);
            delete b.Label(name);
            nameEdits << name;
            grid->addWidget(name, row, 0);
            tabOrder << name;
        } else {
            grid->addWidget(b.Label(s), row, 0);
        }
        QCheckBox *check = use(t.check, i, caps);
        grid->addWidget(s, row, 1, Qt::AlignLeft);
        grid->addWidget(check, row, 2, Qt::AlignLeft);
        tabOrder << s << check;
        ++row;
    }

    // clang-format off
    deTO = b.Edit({.control = "deTO", .caption = {"Дата след.ТО", "TS date"}, .map = Map::Field("TODate"),
                   .kind = TEditKind::Date}, table);
    deOSAGO = b.Edit({.control = "deOSAGO", .caption = {"Дата опл.ОСАГО", "Insurance"}, .map = Map::Field("OSAGODate"),
                      .kind = TEditKind::Date, .caps = NotCompact}, table);
    TSpinEdit *hours = b.Spin({.control = "seMotoHourLim", .caption = {"Моточасы", "Eng.hours"},
                               .map = Map::Field("MotoHourLim"), .min = 0, .max = 3000}, table);
    // clang-format on
    const std::pair<QWidget *, QCheckBox *> tail[] = {
        {deTO, use("cbTO", 7, NotCompact)},
        {deOSAGO, use("cbOSAGO", 8, NotCompact)},
        {hours, use("cbMotoHour", 9)},
    };
    for (const auto &[control, check] : tail) {
        grid->addWidget(b.Label(control), row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
        grid->addWidget(check, row, 2, Qt::AlignLeft);
        tabOrder << control << check;
        ++row;
    }
    ChainTabOrder(tabOrder);
    for (QLineEdit *date : {deTO, deOSAGO})
        date->setFixedWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00")) + 44);

    auto *buttons = new QHBoxLayout;
    bTOSave = new QPushButton(this);
    bTOSave->setObjectName(QStringLiteral("bTOSave"));
    bTOLoad = new QPushButton(this);
    bTOLoad->setObjectName(QStringLiteral("bTOLoad"));
    connect(bTOSave, &QPushButton::clicked, this, [this] { SaveFile(); });
    connect(bTOLoad, &QPushButton::clicked, this, [this] { LoadFile(); });
    buttons->addWidget(bTOSave);
    buttons->addWidget(bTOLoad);
    buttons->addStretch(1);
    page->addSpacing(16);
    page->addLayout(buttons);
    page->addStretch(1);

    const QString folder = Folders::FileDialogStart();
    SaveDialog.directory = folder;
    SaveDialog.filter = QStringLiteral("Файлы настроек ТО (*.vornt)");
    SaveDialog.defaultSuffix = QStringLiteral("vornt");
    OpenDialog = SaveDialog;
    OpenDialog.mustExist = true;
    ApplyTexts();
}

void TPageTO::ApplyTexts() {
    lTOHeader->setText(Bi("Осталось до...                 тыс.км        использ.",
                          "Stay until...                th.km           use"));
    HeaderColumns::Align(grid, lTOHeader);
    // The names fill the first column, so the values stay under their titles.
    for (QLineEdit *name : nameEdits)
        name->setFixedWidth(std::max(grid->columnMinimumWidth(0), 100));
    // These two exist in one language only.
    bTOSave->setText(QStringLiteral("Сохранить настройки ТО в файл"));
    bTOLoad->setText(QStringLiteral("Считать настройки ТО из файла"));
}

void TPageTO::Load() {
    ApplyTexts();
    const QString folder = Folders::FileDialogStart();
    SaveDialog.directory = folder;
    OpenDialog.directory = folder;
}

void TPageTO::SaveFile() {
    const QString path = Prompts().SaveFileName(SaveDialog);
    if (path.isEmpty()) return;
    try {
        TankServiceFiles::Save(path, TankServiceFiles::EncodeService(mk));
    } catch (const Error &e) {
        b.reportError(e.message());
    }
}

void TPageTO::LoadFile() {
    const QString path = Prompts().OpenFileName(OpenDialog);
    if (path.isEmpty()) return;
    try {
        TankServiceFiles::DecodeService(mk, TankServiceFiles::Read(path, TankServiceFiles::ServiceFileSize));
    } catch (const Error &e) {
        b.reportError(e.message());
        return;
    }
    // The file also carries the universal input, the temperature label and the
    // additional systems: every page shows the image again.
    b.LoadAll();
    ctx.Notify(TEditorEvent::TemperatureLabelChanged);
    ctx.ApplyProtocolRules();
}
