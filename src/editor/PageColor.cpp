#include "editor/PageColor.h"

#include "base/Error.h"
#include "base/Prompts.h"
#include "editor/PaintBox.h"
#include "editor/PreviewRefresh.h"
#include "editor/Widgets.h"
#include "editor/preview/PreviewScreens.h"
#include "model/MK.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <functional>
#include <optional>

namespace {

using namespace Previews;

// Rows of the element grids and the element bytes they edit.
constexpr int kDigitElements[] = {Colour1, Background1, Colour2, Background2, Frame, BottomPanel};
constexpr TBiText kDigitTitles[] = {{"Цвет 1", "Color 1"}, {"Фон 1", "Background 1"},
                                    {"Цвет 2", "Color 2"}, {"Фон 2", "Background 2"},
                                    {"Рамка", "Frame"},    {"Нижн.панель", "Bott.panel"}};
constexpr int kMenuElements[] = {MenuActive, MenuActiveBack, MenuHotNumber};
constexpr TBiText kMenuTitles[] = {{"Цвет активного пункта", "Active item color"},
                                   {"Фон активного пункта", "Active item background"},
                                   {"Цвет номера горячего пункта", "Hot item num.color"}};
constexpr int kDigitRows = int(std::size(kDigitElements));
constexpr int kMenuRows = int(std::size(kMenuElements));

QString PaletteTitle(int row) {
    return Bi("Цвет #", "Color #") + QString::number(row);
}

// Column 1 of a colour grid is filled with the row's colour, its text written 2 pixels
// right of and below the cell's corner. A row whose colour cannot be drawn stays
// unfilled; the refresh reports why.
class TColourCellDelegate : public QStyledItemDelegate {
public:
    using TColourOf = std::function<std::optional<uint16_t>(int row)>;
    using TTextOf = std::function<QString(int row)>;

    TColourCellDelegate(TColourOf colour, TTextOf text, QObject *parent)
        : QStyledItemDelegate(parent), colour_(std::move(colour)), text_(std::move(text)) {}

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        if (index.column() != 1) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        const QRect r = option.rect;
        const std::optional<uint16_t> colour = colour_(index.row());
        const QColor fill =
            colour ? QColor::fromRgb(TMK::ColourToRgb(*colour)) : option.palette.color(QPalette::Base);
        p->save();
        p->fillRect(r, fill);
        if (const QString text = text_ ? text_(index.row()) : QString(); !text.isEmpty()) {
            p->setPen(qGray(fill.rgb()) < 128 ? Qt::white : Qt::black);
            p->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        }
        // The selected row keeps its colour and gets a frame.
        if (option.state & QStyle::State_Selected) {
            p->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
            p->setBrush(Qt::NoBrush);
            p->drawRect(r.adjusted(1, 1, -1, -1));
        }
        p->restore();
    }

private:
    TColourOf colour_;
    TTextOf text_;
};

QTableWidget *ColourGrid(const char *name, const QStringList &titles, QWidget *parent) {
    auto *grid = new QTableWidget(int(titles.size()), 2, parent);
    grid->setObjectName(QLatin1String(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    for (int row = 0; row < titles.size(); ++row) {
        grid->setItem(row, 0, new QTableWidgetItem(titles[row]));
        grid->setItem(row, 1, new QTableWidgetItem);
    }
    grid->resizeColumnToContents(0);
    grid->setColumnWidth(0, grid->columnWidth(0) + 8);
    grid->setColumnWidth(1, 44);
    const int frame = 2 * grid->frameWidth();
    grid->setFixedSize(grid->horizontalHeader()->length() + frame, grid->verticalHeader()->length() + frame);
    grid->setCurrentCell(0, 0);
    return grid;
}

QLabel *WrappedLabel(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// Two previews side by side on a page of pcColorDig.
QWidget *PreviewPage(const char *name, TPaintBox *&left, const char *leftName, TPaintBox *&right,
                     const char *rightName) {
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(6);
    left = new TPaintBox(leftName, page);
    right = new TPaintBox(rightName, page);
    row->addWidget(left);
    row->addWidget(right);
    row->addStretch(1);
    return page;
}

} // namespace

TPageColor::TPageColor(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(6);

    // Left: the palette of the scheme being edited and its colour spin edits.
    auto *left = new QVBoxLayout;
    columns->addLayout(left);
    auto *gbPalette = new QGroupBox(Bi("Палитра цветов", "Color palette"), this);
    gbPalette->setObjectName(QStringLiteral("gbPalette"));
    left->addWidget(gbPalette);
    auto *paletteRow = new QHBoxLayout(gbPalette);
    QStringList paletteTitles;
    for (int row = 0; row < 16; ++row)
        paletteTitles << PaletteTitle(row);
    sgPalette = ColourGrid("sgPalette", paletteTitles, gbPalette);
    sgPalette->setItemDelegateForColumn(
        1, new TColourCellDelegate(
               [this](int row) { return std::optional(PaletteColour(mk, ctx.scheme, row)); }, {}, sgPalette));
    paletteRow->addWidget(sgPalette, 0, Qt::AlignTop);

    auto *editSide = new QVBoxLayout;
    paletteRow->addLayout(editSide);
    auto *gbEditColor = new QGroupBox(Bi("Редактировать цвет", "Edit color"), gbPalette);
    gbEditColor->setObjectName(QStringLiteral("gbEditColor"));
    editSide->addWidget(gbEditColor);
    auto *editBox = new QVBoxLayout(gbEditColor);
    lColorTab = new QLabel(PaletteTitle(0), gbEditColor);
    lColorTab->setObjectName(QStringLiteral("lColorTab"));
    editBox->addWidget(lColorTab);
    auto *rgb = new TColumn(b, gbEditColor, true);
    editBox->addWidget(rgb);
    // Every change is stored at once: the previews follow the arrows.
    // clang-format off
    seR = rgb->Row(b.Spin({.control = "seR", .caption = {"Красный", "Red"}, .map = Component(0), .min = 0, .max = 31,
                           .after = [this] { ColoursChanged(); }, .storeOn = TStoreOn::Change}, rgb));
    seG = rgb->Row(b.Spin({.control = "seG", .caption = {"Зеленый", "Green"}, .map = Component(1), .min = 0, .max = 31,
                           .after = [this] { ColoursChanged(); }, .storeOn = TStoreOn::Change}, rgb));
    seB = rgb->Row(b.Spin({.control = "seB", .caption = {"Синий", "Blue"}, .map = Component(2), .min = 0, .max = 31,
                           .after = [this] { ColoursChanged(); }, .storeOn = TStoreOn::Change}, rgb));
    // The scheme being edited lives in the dialog only.
    rgCurrColorSchemeNum = b.Radio({.control = "rgCurrColorSchemeNum", .caption = {"Цветовая схема", "Color scheme"},
                                    .map = {[this](const TMK &) { return QVariant(double(ctx.scheme)); },
                                            [this](TMK &, const QVariant &v) { ctx.scheme = v.toDouble() == 1 ? 1 : 0; }},
                                    .items = {{"День", "Day"}, {"Ночь", "Night"}},
                                    .after = [this] { SchemeChanged(); }}, gbPalette);
    // clang-format on
    editSide->addWidget(rgCurrColorSchemeNum);
    bPaletteInit = new QPushButton(Bi("Все в исх.состояние", "Initialize all"), gbPalette);
    bPaletteInit->setObjectName(QStringLiteral("bPaletteInit"));
    connect(bPaletteInit, &QPushButton::clicked, this, [this] { InitializeAll(); });
    editSide->addWidget(bPaletteInit);
    editSide->addStretch(1);
    left->addWidget(WrappedLabel(Bi("Для выбора цвета для редактирования выберите нужную строку таблицы",
                                    "To select a color to edit, select the desired table row"),
                                 this));
    left->addStretch(1);
    connect(sgPalette, &QTableWidget::currentCellChanged, this, [this](int row) { PaletteRowSelected(row); });

    // Right: the digit screens and the menu.
    pcColor = new QTabWidget(this);
    pcColor->setObjectName(QStringLiteral("pcColor"));
    columns->addWidget(pcColor, 1);

    tsColorDig = new QWidget;
    tsColorDig->setObjectName(QStringLiteral("tsColorDig"));
    auto *digit = new QVBoxLayout(tsColorDig);
    digit->setContentsMargins(2, 4, 2, 2);
    auto *digitTop = new QHBoxLayout;
    digit->addLayout(digitTop);
    QStringList digitTitles;
    for (const TBiText &t : kDigitTitles)
        digitTitles << t.text();
    sgDigit = ColourGrid("sgDigit", digitTitles, tsColorDig);
    sgDigit->setItemDelegateForColumn(
        1, new TColourCellDelegate(
               [this](int row) -> std::optional<uint16_t> {
                   try {
                       return ElementColour(mk, ctx.scheme, kDigitElements[row]);
                   } catch (const Error &) {
                       return std::nullopt;
                   }
               },
               [this](int row) { return QString::number(mk.Get(ElementsField(), kDigitElements[row])); },
               sgDigit));
    digitTop->addWidget(sgDigit, 0, Qt::AlignTop);
    auto *digitEdit = new TColumn(b, tsColorDig, true);
    seDigit = digitEdit->Row(b.Spin({.control = "seDigit",
                                     .caption = {"", ""},
                                     .map = ElementIndex(digitRow_, kDigitElements),
                                     .min = 0,
                                     .max = 15,
                                     .after = [this] { ColoursChanged(); },
                                     .storeOn = TStoreOn::Change,
                                     .captionFn = [this] { return kDigitTitles[digitRow_].text(); }},
                                    digitEdit));
    digitEdit->Wide(
        WrappedLabel(Bi("Выберите нужную строку таблицы", "Select the desired table row"), digitEdit));
    digitTop->addWidget(digitEdit, 0, Qt::AlignTop);
    digitTop->addStretch(1);
    connect(sgDigit, &QTableWidget::currentCellChanged, this,
            [this](int row) { ElementRowSelected(seDigit, digitRow_, row); });

    pcColorDig = new QTabWidget(tsColorDig);
    pcColorDig->setObjectName(QStringLiteral("pcColorDig"));
    tsColorDig1 = PreviewPage("tsColorDig1", pbDigit1, "pbDigit1", pbDigit7, "pbDigit7");
    tsColorDig4 = PreviewPage("tsColorDig4", pbDigit4, "pbDigit4", pbDigit9, "pbDigit9");
    // pbDigit3 is never drawn.
    QWidget *tsColorDig6 = PreviewPage("tsColorDig6", pbDigit6, "pbDigit6", pbDigit3, "pbDigit3");
    pcColorDig->addTab(tsColorDig1, QStringLiteral("x1"));
    pcColorDig->addTab(tsColorDig4, QStringLiteral("x4, x9"));
    pcColorDig->addTab(tsColorDig6, QStringLiteral("x6"));
    digit->addWidget(pcColorDig, 0, Qt::AlignLeft);
    digit->addStretch(1);

    tsColorMenu = new QWidget;
    tsColorMenu->setObjectName(QStringLiteral("tsColorMenu"));
    auto *menu = new QHBoxLayout(tsColorMenu);
    menu->setContentsMargins(6, 6, 6, 6);
    auto *menuEdit = new TColumn(b, tsColorMenu, true);
    QStringList menuTitles;
    for (const TBiText &t : kMenuTitles)
        menuTitles << t.text();
    sgMenu = ColourGrid("sgMenu", menuTitles, menuEdit);
    sgMenu->setItemDelegateForColumn(
        1, new TColourCellDelegate(
               [this](int row) -> std::optional<uint16_t> {
                   try {
                       return ElementColour(mk, ctx.scheme, kMenuElements[row]);
                   } catch (const Error &) {
                       return std::nullopt;
                   }
               },
               [this](int row) { return QString::number(mk.Get(ElementsField(), kMenuElements[row])); },
               sgMenu));
    menuEdit->Wide(sgMenu);
    seMenu = menuEdit->Row(b.Spin({.control = "seMenu",
                                   .caption = {"", ""},
                                   .map = ElementIndex(menuRow_, kMenuElements),
                                   .min = 0,
                                   .max = 15,
                                   .after = [this] { ColoursChanged(); },
                                   .storeOn = TStoreOn::Change,
                                   .captionFn = [this] { return kMenuTitles[menuRow_].text(); }},
                                  menuEdit));
    menuEdit->Wide(
        WrappedLabel(Bi("Выберите нужную строку таблицы", "Select the desired table row"), menuEdit));
    menuEdit->Stretch();
    menu->addWidget(menuEdit);
    pbMenu = new TPaintBox("pbMenu", tsColorMenu);
    menu->addWidget(pbMenu, 0, Qt::AlignTop);
    menu->addStretch(1);
    connect(sgMenu, &QTableWidget::currentCellChanged, this,
            [this](int row) { ElementRowSelected(seMenu, menuRow_, row); });

    pcColor->addTab(tsColorDig, Bi("Цифровые дисплеи", "Digital displays"));
    pcColor->addTab(tsColorMenu, Bi("Меню", "Menu"));
    // The graph and arrow screens have colours of their own, not edited here.
    for (const auto &[name, caption] :
         {std::pair{"tsColorGraph", TBiText{"Графики", "Графики"}},
          std::pair{"tsColorArrow", TBiText{"Стрелочный дисплей", "Стрелочный дисплей"}}}) {
        auto *hidden = new QWidget;
        hidden->setObjectName(QLatin1String(name));
        pcColor->setTabVisible(pcColor->addTab(hidden, caption.text()), false);
    }

    // Another preview page or colour page shows its previews.
    connect(pcColor, &QTabWidget::currentChanged, this, [this] { Refresh(); });
    connect(pcColorDig, &QTabWidget::currentChanged, this, [this] { Refresh(); });
}

const char *TPageColor::PaletteField() const {
    return ctx.scheme == 1 ? "NightPalette" : "DayPalette";
}
const char *TPageColor::ElementsField() const {
    return ctx.scheme == 1 ? "NightElements" : "DayElements";
}

TValueMap TPageColor::Component(int component) {
    return {[this, component](const TMK &m) {
                const TRgb5 c = TMK::UnpackColour(PaletteColour(m, ctx.scheme, paletteRow_));
                return QVariant(double(component == 0 ? c.r : component == 1 ? c.g : c.b));
            },
            [this](TMK &, const QVariant &) {
                if (!ctx.refreshing) StorePaletteColour();
            }};
}

void TPageColor::StorePaletteColour() {
    int rgb[3];
    const TSpinEdit *spins[] = {seR, seG, seB};
    for (int i = 0; i < 3; ++i) {
        const double v = spins[i]->value();
        if (!(v >= 0 && v <= 31)) throw RangeError(QStringLiteral("Range check error"));
        rgb[i] = int(v);
    }
    mk.Set(PaletteField(), TMK::PackColour(rgb[0], rgb[1], rgb[2]), paletteRow_);
}

// Indices of 128 and more do not fit the device's byte and are refused.
TValueMap TPageColor::ElementIndex(const int &row, const int *elements) {
    return {[this, &row, elements](const TMK &m) {
                return QVariant(double(m.Get(ElementsField(), elements[row])));
            },
            [this, &row, elements](TMK &m, const QVariant &value) {
                if (ctx.refreshing) return;
                const double v = value.toDouble();
                if (!(v >= 0 && v < 128)) throw RangeError(QStringLiteral("Range check error"));
                m.Set(ElementsField(), int64_t(v), elements[row]);
            }};
}

void TPageColor::PaletteRowSelected(int row) {
    if (ctx.refreshing || row < 0) return;
    paletteRow_ = row;
    lColorTab->setText(PaletteTitle(row));
    // The spin edits show the entry without storing it.
    TPreviewRefresh refresh(ctx);
    for (TSpinEdit *spin : {seR, seG, seB})
        refresh.Check([&] { b.Load(spin); });
}

void TPageColor::ElementRowSelected(TSpinEdit *spin, int &current, int row) {
    if (ctx.refreshing || row < 0) return;
    current = row;
    b.RefreshCaption(spin);
    TPreviewRefresh refresh(ctx);
    refresh.Check([&] { b.Load(spin); });
}

void TPageColor::ReloadColourControls() {
    TPreviewRefresh refresh(ctx);
    for (TSpinEdit *spin : {seR, seG, seB, seDigit, seMenu})
        refresh.Check([&] { b.Load(spin); });
}

void TPageColor::ColoursChanged() {
    Refresh();
    ctx.Notify(TEditorEvent::ColoursChanged);
}

void TPageColor::SchemeChanged() {
    ReloadColourControls();
    Refresh();
}

void TPageColor::InitializeAll() {
    if (!Prompts().Confirm(Bi("Привести все настройки цветовых схем в исходное состояние?",
                              "Initialize all the color scheme settings to their original state? ")))
        return;
    const auto restore = [this](const TColourScheme &scheme, const char *palette, const char *elements) {
        const auto *bytes = reinterpret_cast<const char *>(scheme.data());
        mk.SetBytes(palette, QByteArray(bytes, 32));
        mk.SetBytes(elements, QByteArray(bytes + 32, MKLayout::ColourSchemeSize - 32));
    };
    restore(mk.DefaultDayScheme, "DayPalette", "DayElements");
    restore(mk.DefaultNightScheme, "NightPalette", "NightElements");
    ctx.scheme = 0;
    Refresh();
    b.LoadAll();
    ctx.Notify(TEditorEvent::ColoursChanged);
}

void TPageColor::CheckElements(TPreviewRefresh &refresh, const int *elements, int count) {
    for (int row = 0; row < count; ++row)
        refresh.Check([&] { ElementColour(mk, ctx.scheme, elements[row]); });
}

void TPageColor::Load() {
    // The first row of every grid, in the day scheme.
    {
        TPreviewRefresh refresh(ctx);
        for (QTableWidget *grid : {sgPalette, sgDigit, sgMenu})
            grid->setCurrentCell(0, 0);
    }
    paletteRow_ = digitRow_ = menuRow_ = 0;
    lColorTab->setText(PaletteTitle(0));
    b.RefreshCaption(seDigit);
    b.RefreshCaption(seMenu);
    ReloadColourControls();
    pcColor->setCurrentIndex(0);
    pcColorDig->setCurrentIndex(0);
    Refresh();
}

void TPageColor::Activated() {
    Refresh();
}

void TPageColor::Refresh() {
    TPreviewRefresh refresh(ctx);
    const int scheme = ctx.scheme;
    sgPalette->viewport()->update();
    if (pcColor->currentWidget() == tsColorDig) {
        CheckElements(refresh, kDigitElements, kDigitRows);
        sgDigit->viewport()->update();
        QWidget *page = pcColorDig->currentWidget();
        if (page == tsColorDig1) {
            refresh.Draw(pbDigit1, [&] { DrawColourPageSingle(mk, scheme, ctx.caps.HasBottomPanel); });
            refresh.Draw(pbDigit7, [&] { Draw(mk, TScreen::ColourSample, scheme, SevenSample); });
        } else if (page == tsColorDig4) {
            refresh.Draw(pbDigit4, [&] { Draw(mk, TScreen::X4, scheme, X4Sample); });
            refresh.Draw(pbDigit9, [&] { Draw(mk, TScreen::X9, scheme, X9Sample); });
        } else {
            refresh.Draw(pbDigit6, [&] { Draw(mk, TScreen::X6, scheme, X6Sample); });
        }
    } else if (pcColor->currentWidget() == tsColorMenu) {
        CheckElements(refresh, kMenuElements, kMenuRows);
        sgMenu->viewport()->update();
        refresh.Draw(pbMenu, [&] { Draw(mk, TScreen::MenuSample, scheme); });
    }
}
