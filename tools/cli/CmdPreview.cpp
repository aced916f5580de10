// tripconf-cli preview: one screen of a settings file as the editor draws it, saved
// as a 320 × 240 PNG.

#include "Cli.h"

#include "base/Lang.h"
#include "base/SafeFile.h"
#include "catalogue/ProtsH.h"
#include "editor/preview/PreviewScreens.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QImageWriter>
#include <QRegularExpression>
#include <QBuffer>
#include <algorithm>

namespace {

using Previews::TScreen;

struct TScreenChoice {
    TScreen screen;
    int index; // stored screen, 0-based
};

// "x1", "x4:1" … "x4:6", "x6:1" … "x6:2", "x9:1" … "x9:3", "sample", "menu".
std::optional<TScreenChoice> ParseScreen(const QString &text) {
    if (text == QLatin1String("x1")) return TScreenChoice{TScreen::SinglePanel, 0};
    if (text == QLatin1String("sample")) return TScreenChoice{TScreen::ColourSample, 0};
    if (text == QLatin1String("menu")) return TScreenChoice{TScreen::MenuSample, 0};
    static const QRegularExpression grid(QStringLiteral("^x([469]):([1-9])$"));
    const QRegularExpressionMatch m = grid.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int kind = m.captured(1).toInt();
    const TScreen screen = kind == 4 ? TScreen::X4 : kind == 6 ? TScreen::X6 : TScreen::X9;
    const int index = m.captured(2).toInt() - 1;
    if (index >= Previews::StoredScreenCount(screen)) return std::nullopt;
    return TScreenChoice{screen, index};
}

// The previews read the screen layouts and both colour schemes of the display
// section; a file that does not hold them would show defaults as if they were its own.
void RequireDisplaySection(TMK &mk) {
    constexpr int displayBytes = 168; // up to the end of the night scheme
    const QString damaged = Bi("Файл настроек повреждён: в нём нет настроек дисплея.",
                               "The settings file is damaged: it does not hold the display settings.");
    if (mk.Image.Size() < MKLayout::HeaderSize) throw Error(damaged);
    mk.ReadHeader();
    const TSectionEntry &e = mk.Header.sections[9];
    const int count = std::min(int(e.length) - 4, MKLayout::SectionSize[9]);
    if (!mk.SectionAddressValid(9) || count < displayBytes ||
        e.address - MKLayout::DeviceAddressOfImage + count > mk.Image.Size())
        throw Error(damaged);
}

void SavePng(const QImage &image, const QString &path) {
    // Encoded in memory first, so the safe writer sees every byte (a full disk included).
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw Error(QStringLiteral("Cannot encode the picture for \"%1\": %2").arg(path, writer.errorString()));
    SafeFile::Write(path, png);
}

int RunPreview(TCliArgs &args) {
    const QString out = args.Value("output").value_or(QString());
    const QString screenText = args.Value("screen").value_or(QString());
    const QString schemeText = args.Value("scheme").value_or(QString());
    const QString file = Files(args, 1, QStringLiteral("one settings file expected")).constFirst();
    if (schemeText != QLatin1String("day") && schemeText != QLatin1String("night"))
        throw TUsageError(QStringLiteral("--scheme is day or night, not \"%1\"").arg(schemeText));
    const std::optional<TScreenChoice> choice = ParseScreen(screenText);
    if (!choice)
        throw TUsageError(
            QStringLiteral("unknown screen \"%1\": use x1, x4:1 … x4:6, x6:1 … x6:2, x9:1 … x9:3, "
                           "sample or menu")
                .arg(screenText));
    SafeFile::CheckTarget(out);

    TMK mk;
    SettingsFile::Load(mk, file);
    RequireDisplaySection(mk);
    mk.LoadAllSections();
    // As the editor opens: the catalogue for the file's model and protocol, then the
    // parameters with its flags.
    const int64_t protocol = mk.Get("ProtocolIndex");
    if (protocol > 255)
        throw Error(QStringLiteral("the protocol number %1 of the file does not fit 0 … 255").arg(protocol));
    Prots().BuildProtocolList(mk.ModelCode, uint8_t(protocol), mk.Header.variant);
    mk.BuildParameterList();

    const int scheme = schemeText == QLatin1String("night") ? 1 : 0;
    std::vector<uint8_t> codes;
    if (choice->screen == TScreen::ColourSample)
        codes.assign(Previews::SevenSample.begin(), Previews::SevenSample.end());
    else if (choice->screen != TScreen::MenuSample)
        codes = Previews::StoredFields(mk, choice->screen, choice->index);
    Previews::Draw(mk, choice->screen, scheme, codes);
    SavePng(mk.Preview, out);
    return 0;
}

const TCliRegistration registration{
    {"preview",
     "--screen SCREEN -o OUT.png [OPTIONS] FILE",
     "one screen of a settings file as a 320 x 240 PNG",
     "Draws one screen of a settings file as a 320 × 240 PNG, exactly as the editor's display pages show "
     "it.\n\n"
     "SCREEN is x1 (the single screen with its bottom panel), x4:1 … x4:6, x6:1 … x6:2 or x9:1 … x9:3 "
     "(the stored screens of four, six and nine fields), sample (the seven-field colour sample) or menu (the "
     "menu sample).",
     {{0, "screen", "SCREEN", "The screen to draw (see above).", nullptr, true},
      {0, "scheme", "day|night", "The colour scheme.", "day", false},
      {'o', "output", "OUT.png", "The PNG file to write.", nullptr, true},
      kLangOption},
     {{"FILE", "The settings file (.vorng)."}},
     RunPreview}};

} // namespace
