#include "editor/PageOil.h"

#include "base/Error.h"
#include "base/Folders.h"
#include "editor/HeaderColumns.h"
#include "editor/TankServiceFiles.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Cells of the tare table take every key: a key dropped by a filter would run the digits
// on either side together ("1,5" into 15). What is typed is judged when the grid is left.
class TTareDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override {
        auto *e = new QLineEdit(parent);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return e;
    }
};

constexpr int kTareRows = 68;

bool Within(const QWidget *w, const QWidget *control) {
    return w && (w == control || control->isAncestorOf(w));
}

// A cell holds a whole number of litres or units: digits only, an empty cell is 0.
// Anything else is refused rather than read as some other number.
int64_t CellValue(const QString &text) {
    const QString t = text.trimmed();
    int64_t v = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw RangeError(QStringLiteral("Range check error: \"%1\" is not a number").arg(t));
        v = v * 10 + (c.unicode() - '0');
        if (v > 1'000'000'000) throw RangeError(QStringLiteral("Range check error: %1").arg(t));
    }
    return v;
}

void CheckFits(const char *field, int64_t value) {
    const TFieldDesc &f = TMK::Field(field);
    if (value < f.MinValue() || value > f.MaxValue())
        throw RangeError(QStringLiteral("Range check error: %1 does not fit %2 (%3 … %4)")
                             .arg(value)
                             .arg(QLatin1String(field))
                             .arg(f.MinValue())
                             .arg(f.MaxValue()));
}

QLabel *Notice(QWidget *parent, const char *name, bool strong) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    if (strong) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

} // namespace

TPageOil::TPageOil(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(18);
    auto *left = new QVBoxLayout;
    columns->addLayout(left);

    const auto litres = [this] { return TBounds{0, std::max(double(mk.Get("TankContFull")), 0.0)}; };
    // The units spin of a row goes without a label: the header names the column.
    const auto unlabelled = [this](TSpinEdit *s) {
        delete b.Label(s);
        return s;
    };
    const auto makeGrid = [](QGroupBox *box) {
        auto *grid = new QGridLayout(box);
        grid->setHorizontalSpacing(6);
        grid->setColumnStretch(3, 1);
        return grid;
    };

    // clang-format off
    // Linear by 2 points.
    GroupBox3 = b.Group({.control = "GroupBox3", .caption = {"Линейный по 2 точкам", "Linear 2 points"}}, this);
    grid2 = makeGrid(GroupBox3);
    lGroupBox3Header = new QLabel(GroupBox3);
    lGroupBox3Header->setObjectName(QStringLiteral("lGroupBox3Header"));
    grid2->addWidget(lGroupBox3Header, 0, 0, 1, 4);
    const char *const lit2[] = {"seLit6L", "seLit43L"}, *const oil2[] = {"seOil6L", "seOil43L"};
    const char *const litField2[] = {"Lit6L", "Lit43L"}, *const oilField2[] = {"Oil6L", "Oil43L"};
    const TBiText rowName2[] = {{"1", "1"}, {"2", "2"}};
    for (int r = 0; r < 2; ++r) {
        TSpinEdit *l = b.Spin({.control = lit2[r], .caption = rowName2[r], .map = Map::Field(litField2[r]),
                               .bounds = litres}, GroupBox3);
        TSpinEdit *o = unlabelled(b.Spin({.control = oil2[r], .caption = {"", ""}, .map = Map::Field(oilField2[r]),
                                          .min = 0, .max = 2000}, GroupBox3));
        grid2->addWidget(b.Label(l), r + 1, 0);
        grid2->addWidget(l, r + 1, 1);
        grid2->addWidget(o, r + 1, 2);
        points2[size_t(2 * r)] = l;
        points2[size_t(2 * r + 1)] = o;
    }
    left->addWidget(GroupBox3);

    // Linear by 7 points.
    GroupBox4 = b.Group({.control = "GroupBox4", .caption = {"Линейный по 7 точкам", "Linear 7 points"}}, this);
    grid7 = makeGrid(GroupBox4);
    seOilCalibrQuant = b.Spin({.control = "seOilCalibrQuant", .caption = {"Кол-во точек", "Points qnt"},
                               .map = Map::Field("OilCalibrQuant"), .min = 0, .max = 7}, GroupBox4);
    auto *quantRow = new QHBoxLayout;
    quantRow->addWidget(b.Label(seOilCalibrQuant));
    quantRow->addWidget(seOilCalibrQuant);
    quantRow->addStretch(1);
    grid7->addLayout(quantRow, 0, 0, 1, 4);
    // The rows follow the count as it changes; the count itself is stored when the edit is left.
    connect(seOilCalibrQuant, &QDoubleSpinBox::valueChanged, this, [this](double v) { ShowCalibrRows(int(v)); });
    lGroupBox4Header = new QLabel(GroupBox4);
    lGroupBox4Header->setObjectName(QStringLiteral("lGroupBox4Header"));
    grid7->addWidget(lGroupBox4Header, 1, 0, 1, 4);
    for (int r = 0; r < 7; ++r) {
        const QByteArray lit = "seOilCalibrLitArr" + QByteArray::number(r), res = "seOilCalibrResArr" + QByteArray::number(r);
        static const char *const rowNames[] = {"1", "2", "3", "4", "5", "6", "7"};
        TSpinEdit *l = b.Spin({.control = lit.constData(), .caption = {rowNames[r], rowNames[r]},
                               .map = Map::Field(TAddr("OilCalibrLitArr", r)), .bounds = litres}, GroupBox4);
        TSpinEdit *o = unlabelled(b.Spin({.control = res.constData(), .caption = {"", ""},
                                          .map = Map::Field(TAddr("OilCalibrResArr", r)), .min = 0, .max = 2000},
                                         GroupBox4));
        grid7->addWidget(b.Label(l), r + 2, 0);
        grid7->addWidget(l, r + 2, 1);
        grid7->addWidget(o, r + 2, 2);
        seOilCalibrLitArr[size_t(r)] = l;
        seOilCalibrResArr[size_t(r)] = o;
    }
    grid7->setRowStretch(9, 1);
    left->addWidget(GroupBox4);
    left->addStretch(1);

    // Tare table.
    GroupBox5 = b.Group({.control = "GroupBox5", .caption = {"Тарированный", "Tare"}}, this);
    auto *tare = new QVBoxLayout(GroupBox5);
    seTarirLeng = b.Spin({.control = "seTarirLeng", .caption = {"Количество точек тарировки", "Tare points qnt"},
                          .map = Map::Field("TarirLeng"), .min = 0, .max = kTareRows, .arrowsOnly = true,
                          .after = [this] { TankLoad(); }, .storeOn = TStoreOn::Change}, GroupBox5);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(b.Label(seTarirLeng));
    countRow->addWidget(seTarirLeng);
    countRow->addStretch(1);
    tare->addLayout(countRow);
    cbTarirFlagFinish = b.Check({.control = "cbTarirFlagFinish", .caption = {"Тарировка проведена", "Tare finished"},
                                 .map = Map::Field("TarirFlagFinish")}, GroupBox5);
    tare->addWidget(cbTarirFlagFinish);
    // clang-format on
    sgTarir = new QTableWidget(GroupBox5);
    sgTarir->setObjectName(QStringLiteral("sgTarir"));
    sgTarir->setColumnCount(3);
    sgTarir->verticalHeader()->hide();
    sgTarir->verticalHeader()->setDefaultSectionSize(sgTarir->fontMetrics().height() + 6);
    sgTarir->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sgTarir->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table (from an open cell it goes on to the next cell); the arrows and
    // Enter move between cells.
    sgTarir->setTabKeyNavigation(false);
    sgTarir->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    sgTarir->setMinimumWidth(240);
    sgTarir->setItemDelegate(new TTareDelegate(sgTarir));
    connect(sgTarir, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) tareEdited_ = true;
    });
    // Also when the dialog closes with a cell open: hiding it takes the focus away.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (Within(old, sgTarir) && !Within(now, sgTarir)) StoreTare();
    });
    tare->addWidget(sgTarir, 1);
    // clang-format off
    rgTarirIncline = b.Radio({.control = "rgTarirIncline", .caption = {"Наклон ДУТ (справочно)", "FLS slope"},
                              .map = Map::Field("TarirIncline"),
                              .items = {{"Обратный", "Обратный"}, {"Прямой", "Прямой"}, {"Авто", "Авто"}},
                              .columns = 3}, GroupBox5);
    // clang-format on
    rgTarirIncline->setEnabled(false); // shows what the device found
    tare->addWidget(rgTarirIncline);
    columns->addWidget(GroupBox5, 1);

    // Notices and the tank file.
    auto *right = new QVBoxLayout;
    lOilNotice = Notice(this, "lOilNotice", true);
    Label14 = Notice(this, "Label14", false);
    Label44 = Notice(this, "Label44", true);
    bOilSave = new QPushButton(this);
    bOilSave->setObjectName(QStringLiteral("bOilSave"));
    bOilLoad = new QPushButton(this);
    bOilLoad->setObjectName(QStringLiteral("bOilLoad"));
    connect(bOilSave, &QPushButton::clicked, this, [this] { SaveFile(); });
    connect(bOilLoad, &QPushButton::clicked, this, [this] { LoadFile(); });
    right->addWidget(lOilNotice);
    right->addSpacing(12);
    right->addWidget(Label14);
    right->addWidget(bOilSave);
    right->addWidget(bOilLoad);
    right->addSpacing(12);
    right->addWidget(Label44);
    right->addStretch(1);
    auto *rightBox = new QWidget(this);
    rightBox->setLayout(right);
    rightBox->setFixedWidth(330);
    right->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(rightBox);

    const QString folder = Folders::FileDialogStart();
    SaveDialog.directory = folder;
    SaveDialog.filter = QStringLiteral("Файлы настроек бака (*.vorno)");
    SaveDialog.defaultSuffix = QStringLiteral("vorno");
    OpenDialog = SaveDialog;
    OpenDialog.mustExist = true;
    ApplyTexts();
}

void TPageOil::ApplyTexts() {
    lGroupBox3Header->setText(Bi("  #       литры           у.е.", "  #       litres           CU"));
    lGroupBox4Header->setText(lGroupBox3Header->text());
    HeaderColumns::Align(grid2, lGroupBox3Header);
    HeaderColumns::Align(grid7, lGroupBox4Header);
    sgTarir->setHorizontalHeaderLabels({QStringLiteral("#"), Bi("литры", "litres"), Bi("уе", "CU")});
    lOilNotice->setText(
        Bi("Внимание! Для правильной работы программы МК НЕОБХОДИМО использовать последние версии ПО "
           "МК и программы настройки.",
           "Attention! For the correct operation of the device program, it is NECESSARY to use the "
           "latest versions of the MK software and the configuration program."));
    Label14->setText(
        Bi("Перед обновлением ПО МК сохраните настройки бака в файл, а после обновления считайте их "
           "из файла.",
           "Before updating the device software, save the tank settings to a file, and load them from "
           "the file after the update."));
    Label44->setText(Bi("Внимание! Установка значений пользователем вручную НЕ РЕКОМЕНДУЕТСЯ!\n"
                        "Неправильная установка может привести к некорректной работе МК!",
                        "Attention! Setting the values manually by the user is NOT RECOMMENDED!\n"
                        "Incorrect setting can lead to incorrect operation of the device!"));
    bOilSave->setText(Bi("Сохранить настройки бака в файл", "Save tank settings to a file"));
    bOilLoad->setText(Bi("Считать настройки бака из файла", "Load tank settings from a file"));
}

void TPageOil::Load() {
    ApplyTexts();
    tareEdited_ = false;
    const QString folder = Folders::FileDialogStart();
    SaveDialog.directory = folder;
    OpenDialog.directory = folder;
    TankLoad();
}

void TPageOil::Activated() {
    TankLoad();
}

void TPageOil::TankLoad() {
    for (TSpinEdit *s : points2)
        b.Load(s);
    b.Load(seOilCalibrQuant);
    for (int r = 0; r < 7; ++r) {
        b.Load(seOilCalibrLitArr[size_t(r)]);
        b.Load(seOilCalibrResArr[size_t(r)]);
    }
    ShowCalibrRows(int(mk.Get("OilCalibrQuant")));
    if (mk.Get("TarirLeng") > kTareRows) mk.Set("TarirLeng", 0);
    b.Load(seTarirLeng);
    b.Load(cbTarirFlagFinish);
    b.Load(rgTarirIncline);
    FillTare();
}

void TPageOil::ShowCalibrRows(int count) {
    for (int r = 0; r < 7; ++r) {
        b.SetShown(seOilCalibrLitArr[size_t(r)], r < count);
        b.SetShown(seOilCalibrResArr[size_t(r)], r < count);
    }
}

void TPageOil::FillTare() {
    filling_ = true;
    const int n = int(mk.Get("TarirLeng"));
    // No rows: one empty data row.
    sgTarir->setRowCount(std::max(n, 1));
    const auto cell = [this](int row, int column, const QString &text, bool editable) {
        auto *item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        sgTarir->setItem(row, column, item);
    };
    if (n == 0)
        for (int c = 0; c < 3; ++c)
            cell(0, c, QString(), c > 0);
    for (int i = 0; i < n; ++i) {
        cell(i, 0, QString::number(i + 1), false);
        cell(i, 1, QString::number(mk.Get("TarirLitres", i)), true);
        cell(i, 2, QString::number(mk.Get("TarirUnits", i)), true);
    }
    filling_ = false;
}

void TPageOil::StoreTare() {
    if (!tareEdited_) return;
    QStringList errors;
    const int n = std::min(int(mk.Get("TarirLeng")), sgTarir->rowCount());
    for (int i = 0; i < n; ++i) {
        const auto text = [this, i](int column) {
            const QTableWidgetItem *item = sgTarir->item(i, column);
            return item ? item->text() : QString();
        };
        try {
            const int64_t litres = CellValue(text(1));
            const int64_t units = CellValue(text(2));
            // A row that does not fit keeps both its values.
            CheckFits("TarirLitres", litres);
            CheckFits("TarirUnits", units);
            mk.Set("TarirLitres", litres, i);
            mk.Set("TarirUnits", units, i);
        } catch (const RangeError &e) {
            errors << e.message();
        }
    }
    // The slope byte tells the device which way the sensor runs.
    mk.Set("TarirSlope", mk.Get("TarirUnits", 0) > 240 ? 1 : 0);
    tareEdited_ = false;
    if (!errors.isEmpty()) b.reportError(errors.join(QLatin1Char('\n')));
    TankLoad();
}

void TPageOil::SaveFile() {
    const QString path = Prompts().SaveFileName(SaveDialog);
    if (path.isEmpty()) return;
    try {
        TankServiceFiles::Save(path, TankServiceFiles::EncodeTank(mk));
    } catch (const Error &e) {
        b.reportError(e.message());
    }
}

void TPageOil::LoadFile() {
    const QString path = Prompts().OpenFileName(OpenDialog);
    if (path.isEmpty()) return;
    try {
        TankServiceFiles::DecodeTank(mk, TankServiceFiles::Read(path, TankServiceFiles::TankFileSize));
    } catch (const Error &e) {
        b.reportError(e.message());
    }
    TankLoad();
}
