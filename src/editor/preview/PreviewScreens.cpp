#include "editor/preview/PreviewScreens.h"

#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "editor/preview/PreviewCanvas.h"
#include "model/MK.h"
#include "model/MenuItemsH.h"

#include <QRect>
#include <algorithm>
#include <initializer_list>

namespace Previews {

namespace {

constexpr TBiText kElementTitles[] = {
    {"Цвет 1", "Color 1"},
    {"Фон 1", "Background 1"},
    {"Цвет 2", "Color 2"},
    {"Фон 2", "Background 2"},
    {"Рамка", "Frame"},
    {"Цвет активного пункта", "Active item color"},
    {"Фон активного пункта", "Active item background"},
    {"Цвет номера горячего пункта", "Hot item num.color"},
    {"Нижн.панель", "Bott.panel"},
};

void CheckScheme(int scheme) {
    if (scheme != 0 && scheme != 1)
        throw RangeError(Bi("Ошибка диапазона: цветовой схемы %1 нет (0 - день, 1 - ночь).",
                            "Range check error: there is no colour scheme %1 (0 day, 1 night).")
                             .arg(scheme));
}

QString SchemeName(int scheme) {
    return scheme == 0 ? Bi("дневной", "day") : Bi("ночной", "night");
}

QByteArray Bytes(const QString &text) {
    return Cp1251::Encode(text);
}

// Sample values are padded to their width; where room is short the padding goes.
QByteArray Trimmed(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    return Bytes(text.mid(i));
}

// Most single-screen titles end in their unit ("Eng.speed,rpm"); the others get it
// below the value.
bool TitleHasUnit(const TMeasParBase &p) {
    return p.Title.contains(QLatin1Char(',')) || (!p.UnitX4.isEmpty() && p.Title.endsWith(p.UnitX4));
}

// Draws the screens of one scheme; every element colour is fetched (and checked)
// before anything is drawn.
class TScreenPainter {
public:
    TScreenPainter(TMK &mk, int scheme) : mk_(mk), c_(mk.Preview), scheme_(scheme) {
        CheckScheme(scheme);
        colour1_ = ElementColour(mk, scheme, Colour1);
        back1_ = ElementColour(mk, scheme, Background1);
        colour2_ = ElementColour(mk, scheme, Colour2);
        back2_ = ElementColour(mk, scheme, Background2);
        frame_ = ElementColour(mk, scheme, Frame);
    }

    void Single(uint8_t code);
    void SinglePanel(std::span<const uint8_t> codes);
    void X4(std::span<const uint8_t> codes);
    void X6(std::span<const uint8_t> codes);
    void X9(std::span<const uint8_t> codes);
    void ColourSample(std::span<const uint8_t> codes);
    void Menu();

private:
    TMeasParBase *Param(uint8_t code) {
        TMeasParBase *p = mk_.FindParameter(code);
        if (p) p->PrepareData();
        return p;
    }
    void Text(int x, int y, TFontSize font, QByteArrayView text) {
        c_.SetFont(font);
        c_.SetOrigin(x, y);
        c_.TextOut(0, 0, text);
    }
    int Width(TFontSize font, QByteArrayView text) {
        c_.SetFont(font);
        return c_.TextWidth(text);
    }
    // The first font in which text fits width, else the last one.
    TFontSize Fit(QByteArrayView text, int width, std::initializer_list<TFontSize> fonts) {
        for (const TFontSize f : fonts)
            if (Width(f, text) <= width) return f;
        return *(fonts.end() - 1);
    }
    // Centred in [x, x + width); a text wider than that starts at x.
    void Centred(int x, int width, int y, TFontSize font, QByteArrayView text) {
        Text(x + std::max(0, (width - Width(font, text)) / 2), y, font, text);
    }
    void RightAligned(int right, int y, TFontSize font, QByteArrayView text) {
        Text(right - Width(font, text), y, font, text);
    }
    // A large value half a character in from the left, as far as the room allows.
    void LargeValue(int x, int width, int y, const QString &sample) {
        QByteArray text = Bytes(sample);
        const int inset = DeviceFont(TFontSize::Large).Width / 2;
        if (inset + Width(TFontSize::Large, text) > width) text = Trimmed(sample);
        const int w = Width(TFontSize::Large, text);
        Text(x + (inset + w <= width ? inset : std::max(0, (width - w) / 2)), y, TFontSize::Large, text);
    }

    void SmallField(int x, int y, int width, const TMeasParBase *p);
    void X4Field(int x, int y, const TMeasParBase *p);
    void BottomField(int x, uint8_t code);
    void Bar(const TMeasParBase &p, int x, int y, int width, uint16_t colour, uint16_t back);
    void VLine(int x, int y0, int y1) { c_.Line(x, y0, x, y1, frame_); }
    void HLine(int y, int x0, int x1) { c_.Line(x0, y, x1, y, frame_); }

    TMK &mk_;
    TPreviewCanvas c_;
    int scheme_;
    uint16_t colour1_, back1_, colour2_, back2_, frame_;
};

// x9 geometry: title band 1.5 small lines high and one pixel wider than the field,
// the title a quarter line down, the unit on the next line, the value two lines
// high from three lines down.
void TScreenPainter::SmallField(int x, int y, int width, const TMeasParBase *p) {
    constexpr int line = 16;
    c_.FillRect(x, y, width + 1, line * 3 / 2, back1_);
    c_.FillRect(x, y + line * 3 / 2, width, 80 - line * 3 / 2, back2_);
    if (!p) return;
    c_.SetClip(QRect(x, y, width, 80));
    c_.SetColours(colour1_, back1_);
    Centred(x, width, y + line / 4, TFontSize::Small, Bytes(p->LabelX9));
    c_.SetColours(colour2_, back2_);
    RightAligned(x + width - 4, y + line * 3 / 2 + 4, TFontSize::Small, Bytes(p->UnitX9));
    const QByteArray value = Trimmed(p->SampleText);
    const TFontSize font = Fit(value, width, {TFontSize::Medium, TFontSize::Small});
    Centred(x, width, y + 3 * line + (font == TFontSize::Small ? line / 2 : 0), font, value);
    c_.ResetClip();
}

// x4 geometry: 160 × 120, title band 161 wide and a medium line high, large value
// below it, unit on the field's last small line.
void TScreenPainter::X4Field(int x, int y, const TMeasParBase *p) {
    c_.FillRect(x, y, 161, 32, back1_);
    c_.FillRect(x, y + 32, 160, 88, back2_);
    if (!p) return;
    c_.SetClip(QRect(x, y, 160, 120));
    c_.SetColours(colour1_, back1_);
    const QByteArray title = Bytes(p->LabelX4);
    const TFontSize font = Fit(title, 160, {TFontSize::Medium, TFontSize::Small});
    Centred(x, 160, y + (font == TFontSize::Small ? 8 : 0), font, title);
    c_.SetColours(colour2_, back2_);
    LargeValue(x, 160, y + 32, p->SampleText);
    RightAligned(x + 160 - 8, y + 96, TFontSize::Small, Bytes(p->UnitX4));
    c_.ResetClip();
}

// A bar from Min to Max with the sample's part filled and the end texts below.
void TScreenPainter::Bar(const TMeasParBase &p, int x, int y, int width, uint16_t colour, uint16_t back) {
    constexpr int height = 20;
    c_.Line(x, y, x + width - 1, y, colour);
    c_.Line(x, y + height - 1, x + width - 1, y + height - 1, colour);
    c_.Line(x, y, x, y + height - 1, colour);
    c_.Line(x + width - 1, y, x + width - 1, y + height - 1, colour);
    const qint64 span = qint64(p.Max) - p.Min;
    const qint64 part = span > 0 ? std::clamp<qint64>(qint64(p.Sample) - p.Min, 0, span) : 0;
    const int inner = width - 6;
    if (span > 0) c_.FillRect(x + 3, y + 3, int(inner * part / span), height - 6, colour);
    c_.SetColours(colour, back);
    Text(x, y + height + 4, TFontSize::Small, Bytes(p.MinText));
    RightAligned(x + width, y + height + 4, TFontSize::Small, Bytes(p.MaxText));
}

void TScreenPainter::Single(uint8_t code) {
    c_.FillRect(0, 0, 320, 48, back1_);
    c_.FillRect(0, 48, 320, 192, back2_);
    const TMeasParBase *p = Param(code);
    if (!p) return;
    c_.SetColours(colour1_, back1_);
    const QByteArray title = Bytes(p->Title);
    const TFontSize font = Fit(title, 320, {TFontSize::Medium, TFontSize::Small});
    Centred(0, 320, font == TFontSize::Small ? 16 : 8, font, title);
    c_.SetColours(colour2_, back2_);
    Centred(0, 320, 56, TFontSize::Large, Trimmed(p->SampleText));
    if (!TitleHasUnit(*p)) Centred(0, 320, 124, TFontSize::Medium, Bytes(p->UnitX4));
    if (p->HasBar) Bar(*p, 32, 168, 256, colour2_, back2_);
}

// The large field is the speed's; the panel below holds four fields 80 wide.
void TScreenPainter::SinglePanel(std::span<const uint8_t> codes) {
    constexpr int band = 137;
    c_.FillRect(0, 0, 320, band, back1_);
    c_.FillRect(0, band, 320, 240 - band, back2_);
    if (const TMeasParBase *p = Param(SingleSample)) {
        c_.SetColours(colour1_, back1_);
        const QByteArray title = Bytes(p->Title);
        const TFontSize font = Fit(title, 320, {TFontSize::Medium, TFontSize::Small});
        Centred(0, 320, font == TFontSize::Small ? 16 : 8, font, title);
        c_.SetColours(colour2_, back1_);
        Centred(0, 320, 44, TFontSize::Large, Trimmed(p->SampleText));
        if (!TitleHasUnit(*p)) Centred(0, 320, 112, TFontSize::Small, Bytes(p->UnitX4));
    }
    for (int i = 0; i < 4; ++i)
        BottomField(80 * i, codes[size_t(i)]);
}

void TScreenPainter::BottomField(int x, uint8_t code) {
    constexpr int top = 137, height = 240 - top;
    const TMeasParBase *p = Param(code);
    if (!p) return;
    c_.SetClip(QRect(x, top, 80, height));
    c_.SetColours(colour2_, back2_);
    const bool en = Lang::English();
    const QByteArray value = Trimmed(p->SampleText);
    switch (code) {
    case 8: // fuel left and the distance it lasts
        c_.DrawPicture(TPicture::GasStation, x + 8, top + 27);
        Text(x + 40, top + 22, TFontSize::Medium, Bytes(en ? QStringLiteral("3l") : QStringLiteral("3л")));
        Text(x + 40, top + 60, TFontSize::Small, Bytes(en ? QStringLiteral("20km") : QStringLiteral("20км")));
        break;
    case 17:
    case 38:
    case 57:
    case 58:
    case 59: {
        static constexpr struct {
            uint8_t code;
            TBiText label;
        } labels[] = {{17, {"Tож", "Tct"}},
                      {38, {"Tм", "Tol"}},
                      {57, {"Tдв", "Ten"}},
                      {58, {"Tв", "Twt"}},
                      {59, {"Tц", "Tcl"}}};
        for (const auto &l : labels)
            if (l.code == code) Centred(x, 80, top + 18, TFontSize::Small, Bytes(l.label.text(en)));
        Centred(x, 80, top + 42, TFontSize::Medium, "30");
        break;
    }
    case 10: { // the voltage inside the battery
        const QSize acc = PictureSize(TPicture::Acc);
        const int y = top + (height - acc.height()) / 2;
        c_.DrawPicture(TPicture::Acc, x, y);
        Centred(x, acc.width(), y + 7, TFontSize::Medium, value);
        break;
    }
    case 55:
    case 56: { // the boat from the side (pitch) or from behind (roll)
        const TPicture boat = code == 55 ? TPicture::BoatT : TPicture::BoatC;
        c_.DrawPicture(boat, x + (80 - PictureSize(boat).width()) / 2, top + 20);
        Centred(x, 80, top + 48, TFontSize::Medium, value);
        break;
    }
    case 62: // trim: the motor and its angle
        c_.DrawPicture(TPicture::BoatMotor, x + 8, top + 27);
        Centred(x + 40, 40, top + 36, TFontSize::Medium, value);
        break;
    default: {           // time and every other parameter: label and value
        if (code != 7) { // the x9 label, or the shorter x4 one where it does not fit
            const QByteArray label = Bytes(p->LabelX9);
            Centred(x, 80, top + 18, TFontSize::Small,
                    Width(TFontSize::Small, label) <= 80 ? label : Bytes(p->LabelX4));
        }
        const TFontSize font = Fit(value, 80, {TFontSize::Medium, TFontSize::Small});
        Centred(x, 80, top + (code == 7 ? 36 : 42), font, value);
        break;
    }
    }
    c_.ResetClip();
}

void TScreenPainter::X4(std::span<const uint8_t> codes) {
    for (int k = 0; k < 4; ++k)
        X4Field(160 * (k % 2), 120 * (k / 2), Param(codes[size_t(k)]));
    VLine(159, 0, 239);
    HLine(119, 0, 319);
}

void TScreenPainter::X9(std::span<const uint8_t> codes) {
    c_.FillRect(0, 0, 320, 240, back2_); // the two columns right of the last field
    for (int k = 0; k < 9; ++k)
        SmallField(106 * (k % 3), 80 * (k / 3), 106, Param(codes[size_t(k)]));
    VLine(106, 0, 239);
    VLine(212, 0, 239);
    HLine(79, 0, 319);
    HLine(159, 0, 319);
}

void TScreenPainter::X6(std::span<const uint8_t> codes) {
    c_.FillRect(0, 0, 320, 240, back2_);
    // Field 0 takes the x9 cells 0, 1, 3 and 4.
    c_.FillRect(0, 0, 213, 90, back1_);
    c_.FillRect(0, 90, 213, 70, back2_);
    if (const TMeasParBase *p = Param(codes[0])) {
        c_.SetClip(QRect(0, 0, 213, 160));
        c_.SetColours(colour1_, back1_);
        const QByteArray title = Bytes(p->LabelX9);
        const TFontSize font = Fit(title, 213, {TFontSize::Medium, TFontSize::Small});
        Centred(0, 213, (90 - DeviceFont(font).Height) / 2, font, title);
        c_.SetColours(colour2_, back2_);
        LargeValue(0, 213, 90, p->SampleText);
        // Below the digits' ink: a large cell keeps its lowest rows blank.
        RightAligned(213 - 8, 160 - 16, TFontSize::Small, Bytes(p->UnitX9));
        c_.ResetClip();
    }
    static constexpr int cells[] = {2, 5, 6, 7, 8};
    for (int k = 1; k < 6; ++k) {
        const int cell = cells[k - 1];
        SmallField(106 * (cell % 3), 80 * (cell / 3), 106, Param(codes[size_t(k)]));
    }
    VLine(106, 160, 239);
    VLine(212, 0, 239);
    HLine(79, 213, 319);
    HLine(159, 0, 319);
}

// One wide field on top, six x9 fields below.
void TScreenPainter::ColourSample(std::span<const uint8_t> codes) {
    c_.FillRect(0, 0, 320, 240, back2_);
    SmallField(0, 0, 320, Param(codes[0]));
    for (int k = 1; k < 7; ++k)
        SmallField(106 * ((k - 1) % 3), 80 + 80 * ((k - 1) / 3), 106, Param(codes[size_t(k)]));
    HLine(79, 0, 319);
    HLine(159, 0, 319);
    VLine(106, 80, 239);
    VLine(212, 80, 239);
}

// A title and five items, the second one active.
void TScreenPainter::Menu() {
    const uint16_t active = ElementColour(mk_, scheme_, MenuActive);
    const uint16_t activeBack = ElementColour(mk_, scheme_, MenuActiveBack);
    const uint16_t hotNumber = ElementColour(mk_, scheme_, MenuHotNumber);
    static constexpr const char *items[] = {"FullTankMenu", "ToTankMenu", "ErrorsMenu", "FlagSoundMenu",
                                            "TripJournMenu"};
    static const TDeviceCaps noCaps;
    const TMKMenuItemList list = MakeMenuItems(noCaps);

    c_.FillRect(0, 0, 320, 40, back1_);
    c_.SetColours(colour1_, back1_);
    Centred(0, 320, 4, TFontSize::Medium, Bytes(Bi("Меню", "Menu")));
    for (int i = 0; i < 5; ++i) {
        const int y = 40 + 40 * i;
        const bool isActive = i == 1;
        const uint16_t back = isActive ? activeBack : back2_;
        c_.FillRect(0, y, 320, 40, back);
        c_.SetColours(hotNumber, back);
        Text(8, y + 4, TFontSize::Medium, QByteArray::number(i + 1));
        QString caption;
        for (const auto &item : list)
            if (item->Name == QLatin1String(items[i])) caption = item->Caption;
        c_.SetColours(isActive ? active : colour2_, back);
        const QByteArray text = Bytes(caption);
        const TFontSize font = Fit(text, 280, {TFontSize::Medium, TFontSize::Small});
        Text(40, y + (font == TFontSize::Small ? 12 : 4), font, text);
    }
}

} // namespace

uint16_t PaletteColour(const TMK &mk, int scheme, int entry) {
    CheckScheme(scheme);
    if (entry < 0 || entry > 15)
        throw RangeError(Bi("Ошибка диапазона: цвета %1 в палитре нет (0 … 15).",
                            "Range check error: there is no colour %1 in the palette (0 … 15).")
                             .arg(entry));
    return uint16_t(mk.Get(scheme == 0 ? "DayPalette" : "NightPalette", entry));
}

uint16_t ElementColour(const TMK &mk, int scheme, int element) {
    CheckScheme(scheme);
    if (element < 0 || element >= ElementCount)
        throw RangeError(QStringLiteral("Range check error: there is no colour element %1.").arg(element));
    const int64_t index = mk.Get(scheme == 0 ? "DayElements" : "NightElements", element);
    if (index > 15) {
        const QString title = element < int(std::size(kElementTitles)) ? kElementTitles[element].text()
                                                                       : QString::number(element);
        throw RangeError(
            Bi("Ошибка диапазона: элемент \"%1\" %2 цветовой схемы указывает цвет %3, а в палитре "
               "только цвета 0 … 15.",
               "Range check error: the element \"%1\" of the %2 colour scheme names colour %3; the "
               "palette has colours 0 … 15.")
                .arg(title, SchemeName(scheme))
                .arg(index));
    }
    return PaletteColour(mk, scheme, int(index));
}

int FieldCount(TScreen screen) {
    switch (screen) {
    case TScreen::Single:
        return 1;
    case TScreen::SinglePanel:
        return 4;
    case TScreen::X4:
        return 4;
    case TScreen::X6:
        return 6;
    case TScreen::X9:
        return 9;
    case TScreen::ColourSample:
        return 7;
    case TScreen::MenuSample:
        return 0;
    }
    return 0;
}

void Draw(TMK &mk, TScreen screen, int scheme, std::span<const uint8_t> codes) {
    if (int(codes.size()) != FieldCount(screen))
        throw Error(QStringLiteral("A preview of this screen takes %1 parameters, not %2.")
                        .arg(FieldCount(screen))
                        .arg(codes.size()));
    TScreenPainter painter(mk, scheme);
    switch (screen) {
    case TScreen::Single:
        painter.Single(codes[0]);
        break;
    case TScreen::SinglePanel:
        painter.SinglePanel(codes);
        break;
    case TScreen::X4:
        painter.X4(codes);
        break;
    case TScreen::X6:
        painter.X6(codes);
        break;
    case TScreen::X9:
        painter.X9(codes);
        break;
    case TScreen::ColourSample:
        painter.ColourSample(codes);
        break;
    case TScreen::MenuSample:
        painter.Menu();
        break;
    }
}

void DrawColourPageSingle(TMK &mk, int scheme, bool hasBottomPanel) {
    if (hasBottomPanel)
        Draw(mk, TScreen::SinglePanel, scheme, PanelSample);
    else
        Draw(mk, TScreen::Single, scheme, std::span(&SingleSample, 1));
}

int StoredScreenCount(TScreen screen) {
    switch (screen) {
    case TScreen::X4:
        return 6;
    case TScreen::X6:
        return 2;
    case TScreen::X9:
        return 3;
    case TScreen::SinglePanel:
        return 1;
    default:
        return 0;
    }
}

TFieldAddress StoredField(TScreen screen, int index, int field) {
    const int count = FieldCount(screen);
    if (index < 0 || index >= StoredScreenCount(screen) || field < 0 || field >= count)
        throw Error(QStringLiteral("No stored field %1 of screen %2.").arg(field).arg(index));
    switch (screen) {
    case TScreen::X4:
        return {"Disp4Params", 4 * index + field};
    case TScreen::X6:
        return {"Disp6Params", 6 * index + field};
    case TScreen::X9:
        return {"Disp9Params", 9 * index + field};
    default:
        return {"Disp1Params", field};
    }
}

std::vector<uint8_t> StoredFields(const TMK &mk, TScreen screen, int index) {
    std::vector<uint8_t> codes;
    for (int k = 0; k < FieldCount(screen); ++k) {
        const TFieldAddress a = StoredField(screen, index, k);
        codes.push_back(uint8_t(mk.Get(a.name, a.index)));
    }
    return codes;
}

int FieldAt(TScreen screen, int width, int height, int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    // A box whose size is no multiple of the grid leaves a sliver past the last
    // column or row: it belongs to that column or row.
    auto cell = [](int pos, int size, int parts) {
        return std::min(pos / std::max(1, size / parts), parts - 1);
    };
    switch (screen) {
    case TScreen::X4:
        return cell(x, width, 2) + 2 * cell(y, height, 2);
    case TScreen::X9:
        return cell(x, width, 3) + 3 * cell(y, height, 3);
    case TScreen::X6: {
        switch (cell(x, width, 3) + 3 * cell(y, height, 3)) {
        case 2:
            return 1;
        case 5:
            return 2;
        case 6:
            return 3;
        case 7:
            return 4;
        case 8:
            return 5;
        default:
            return 0;
        }
    }
    case TScreen::Single:
    case TScreen::SinglePanel:
        if (7 * y < 4 * height) return -1; // only the bottom panel takes a parameter
        return cell(x, width, 4);
    default:
        return -1;
    }
}

std::span<const uint8_t> SingleScreenMenuCodes(bool hasTrim) {
    static constexpr uint8_t withTrim[] = {7, 10, 8, 17, 62, 55, 56, 57, 58, 59, 38};
    static constexpr uint8_t withoutTrim[] = {7, 10, 8, 17, 55, 56, 57, 58, 59, 38};
    return hasTrim ? std::span<const uint8_t>(withTrim) : std::span<const uint8_t>(withoutTrim);
}

} // namespace Previews
