// The screen previews: drawing rules of the canvas, the screens' geometry in the
// scheme's colours, range errors, the click-to-field mapping and tripconf-cli preview.

#include "TestEnv.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "editor/preview/DeviceFonts.h"
#include "editor/preview/DevicePictures.h"
#include "editor/preview/PreviewCanvas.h"
#include "editor/preview/PreviewScreens.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Previews;

namespace {

constexpr uint16_t kFg = 0xF800, kBg = 0x001F, kMark = 0x07E0;

QRgb Rgb(uint16_t colour) {
    return TMK::ColourToRgb(colour);
}

// Day scheme with one palette entry of its own for each digit-screen element.
void DistinctElements(TMK &mk) {
    for (int e = 0; e < 5; ++e)
        mk.Set("DayElements", 1 + e, e);
}

QRgb ElementRgb(const TMK &mk, int element) {
    return Rgb(ElementColour(mk, 0, element));
}

// The bit the glyph table holds for pixel (x, y) of glyph g, most significant bit leftmost.
bool TableBit(const TDeviceFont &f, int g, int x, int y) {
    return (f.Glyphs[g * f.BytesPerGlyph() + y * f.BytesPerRow() + x / 8] >> (7 - x % 8)) & 1;
}

int RunCli(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(TRIPCONF_CLI), args);
    if (!p.waitForFinished(30000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void glyphMapping_data();
    void glyphMapping();
    void glyphBits_data();
    void glyphBits();
    void cursorAndSkips_data();
    void cursorAndSkips();
    void clipping();
    void geometry_data();
    void geometry();
    void textsInTheirPlaces();
    void rangeErrors_data();
    void rangeErrors();
    void fieldAt_data();
    void fieldAt();
    void pictures();
    void cliRendersAsTheEditor();
    void cliExitCodes_data();
    void cliExitCodes();

private:
    QTemporaryDir dir_;
    QString file_; // a settings file with the x9 screen 3 set below
    const std::array<uint8_t, 9> x9Screen3_ = {13, 0, 10, 7, 12, 8, 17, 14, 2};
};

void TestPreview::glyphMapping_data() {
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("ch");
    QTest::addColumn<int>("glyph");
    const int s = int(TFontSize::Small), m = int(TFontSize::Medium), l = int(TFontSize::Large);
    QTest::newRow("control") << s << 31 << -1;
    QTest::newRow("space") << s << 32 << 0;
    QTest::newRow("DEL") << m << 127 << 95;
    QTest::newRow("cp1251 signs") << s << 128 << -1;
    QTest::newRow("cp1251 191") << m << 191 << -1;
    QTest::newRow("cyrillic A") << s << 192 << 96;
    QTest::newRow("ya") << m << 255 << 159;
    QTest::newRow("digits +") << l << int('+') << 1;
    QTest::newRow("digits :") << l << int(':') << 4;
    QTest::newRow("digits 0") << l << int('0') << 5;
    QTest::newRow("digits 9") << l << int('9') << 14;
    QTest::newRow("digits T") << l << int('T') << 15;
    QTest::newRow("digits R") << l << int('R') << 19;
    QTest::newRow("digits other") << l << int('A') << 0;
}

void TestPreview::glyphMapping() {
    QFETCH(int, font);
    QFETCH(int, ch);
    QFETCH(int, glyph);
    QCOMPARE(DeviceFont(TFontSize(font)).GlyphOf(uint8_t(ch)), glyph);
}

void TestPreview::glyphBits_data() {
    QTest::addColumn<int>("font");
    QTest::addColumn<QByteArray>("ch");
    // Asymmetric glyphs: a mirrored or shifted bit order shows.
    QTest::newRow("small F") << int(TFontSize::Small) << QByteArray("F");
    QTest::newRow("medium ya") << int(TFontSize::Medium) << QByteArray("\xFF");
    QTest::newRow("large 7") << int(TFontSize::Large) << QByteArray("7");
}

void TestPreview::glyphBits() {
    QFETCH(int, font);
    QFETCH(QByteArray, ch);
    QImage image;
    TPreviewCanvas c(image);
    c.FillRect(0, 0, 320, 240, kMark);
    c.SetFont(TFontSize(font));
    c.SetColours(kFg, kBg);
    c.SetOrigin(5, 3);
    c.TextOut(1, 1, ch);
    const TDeviceFont &f = c.Font();
    const int g = f.GlyphOf(uint8_t(ch[0])), x0 = 5 + f.Width, y0 = 3 + f.Height;
    int set = 0;
    for (int y = 0; y < f.Height; ++y)
        for (int x = 0; x < f.Width; ++x) {
            const bool bit = TableBit(f, g, x, y);
            set += bit;
            QCOMPARE(image.pixel(x0 + x, y0 + y), Rgb(bit ? kFg : kBg));
        }
    QVERIFY(set > f.Height); // a real glyph, not a blank cell
    QCOMPARE(image.pixel(x0 - 1, y0), Rgb(kMark));
    QCOMPARE(image.pixel(x0 + f.Width, y0 + f.Height - 1), Rgb(kMark));
}

void TestPreview::cursorAndSkips_data() {
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("cursor"); // column after the text
    const int s = int(TFontSize::Small), m = int(TFontSize::Medium), l = int(TFontSize::Large);
    QTest::newRow("plain") << s << 2 << 0 << QByteArray("AB") << 4;
    QTest::newRow("control skipped") << s << 0 << 0
                                     << QByteArray("A\x01"
                                                   "B")
                                     << 2;
    QTest::newRow("cp1251 signs skipped") << m << 0 << 0
                                          << QByteArray("A\xA8\xB9"
                                                        "B")
                                          << 2;
    QTest::newRow("last small column") << s << 39 << 0 << QByteArray("AB") << 40;
    QTest::newRow("past the columns") << m << 20 << 0 << QByteArray("AB") << 20;
    QTest::newRow("past the rows") << s << 0 << 15 << QByteArray("AB") << 0;
    QTest::newRow("medium row 7 skipped") << m << 0 << 7 << QByteArray("AB") << 0;
    QTest::newRow("digits draw everything") << l << 0 << 0 << QByteArray(" A2") << 3;
}

void TestPreview::cursorAndSkips() {
    QFETCH(int, font);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QByteArray, text);
    QFETCH(int, cursor);
    QImage image;
    TPreviewCanvas c(image);
    c.FillRect(0, 0, 320, 240, kMark);
    c.SetFont(TFontSize(font));
    c.SetColours(kFg, kBg);
    c.TextOut(column, row, text);
    QCOMPARE(c.CursorColumn(), cursor);
    QCOMPARE(c.CursorRow(), row);
    // The drawn characters sit in consecutive cells, skipped ones leave no gap, and
    // the cell after the last one stays untouched.
    const TDeviceFont &f = c.Font();
    QByteArray drawn;
    for (char ch : text)
        if (f.GlyphOf(uint8_t(ch)) >= 0) drawn += ch;
    for (int i = 0; i < cursor - column; ++i)
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x)
                QCOMPARE(image.pixel((column + i) * f.Width + x, row * f.Height + y),
                         Rgb(TableBit(f, f.GlyphOf(uint8_t(drawn[i])), x, y) ? kFg : kBg));
    const QPoint after(cursor * f.Width, row * f.Height);
    if (image.rect().contains(after)) QCOMPARE(image.pixel(after), Rgb(kMark));
}

void TestPreview::clipping() {
    QImage image;
    TPreviewCanvas c(image);
    QCOMPARE(image.size(), QSize(320, 240));
    c.FillRect(0, 0, 320, 240, kMark);
    c.FillRect(-10, -10, 20, 20, kFg);   // top-left corner: 10 × 10 stay
    c.FillRect(300, 230, 100, 100, kBg); // bottom-right: to the edge
    c.FillRect(50, 50, -5, 10, kFg);     // nothing
    const QList<QPair<QPoint, uint16_t>> expected = {{{9, 9}, kFg},       {{10, 9}, kMark},
                                                     {{9, 10}, kMark},    {{319, 239}, kBg},
                                                     {{299, 239}, kMark}, {{46, 55}, kMark}};
    for (const auto &[at, colour] : expected)
        QCOMPARE(image.pixel(at), Rgb(colour));
    // A glyph over the right edge is cut there; a clip rectangle holds too.
    c.SetFont(TFontSize::Medium);
    c.SetOrigin(312, 0);
    c.TextOut(0, 0, "W");
    QCOMPARE(c.CursorColumn(), 1);
    c.SetClip(QRect(100, 100, 10, 10));
    c.FillRect(0, 0, 320, 240, kFg);
    QCOMPARE(image.pixel(109, 109), Rgb(kFg));
    QCOMPARE(image.pixel(110, 109), Rgb(kMark));
    QCOMPARE(image.pixel(99, 100), Rgb(kMark));
}

void TestPreview::geometry_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("element");
    const int x4 = int(TScreen::X4), x9 = int(TScreen::X9), x6 = int(TScreen::X6),
              panel = int(TScreen::SinglePanel), seven = int(TScreen::ColourSample);
    for (int y : {0, 119, 120, 239})
        QTest::addRow("x4 vertical line y %d", y) << x4 << QPoint(159, y) << int(Frame);
    for (int x : {0, 158, 160, 319})
        QTest::addRow("x4 horizontal line x %d", x) << x4 << QPoint(x, 119) << int(Frame);
    QTest::newRow("x4 band bottom") << x4 << QPoint(40, 31) << int(Background1);
    QTest::newRow("x4 value top") << x4 << QPoint(40, 32) << int(Background2);
    QTest::newRow("x4 field 3 band") << x4 << QPoint(160, 120) << int(Background1);
    QTest::newRow("x4 field 3 value") << x4 << QPoint(319, 239) << int(Background2);
    QTest::newRow("x4 left of the line") << x4 << QPoint(158, 200) << int(Background2);
    for (int x : {106, 212})
        for (int y : {0, 120, 239})
            QTest::addRow("x9 vertical %d/%d", x, y) << x9 << QPoint(x, y) << int(Frame);
    for (int y : {79, 159})
        for (int x : {0, 213, 319})
            QTest::addRow("x9 horizontal %d/%d", y, x) << x9 << QPoint(x, y) << int(Frame);
    QTest::newRow("x9 band bottom") << x9 << QPoint(50, 103) << int(Background1);
    QTest::newRow("x9 below band") << x9 << QPoint(50, 104) << int(Background2);
    QTest::newRow("x9 value area") << x9 << QPoint(50, 128) << int(Background2);
    QTest::newRow("x9 band 107 wide") << x9 << QPoint(318, 10) << int(Background1);
    QTest::newRow("x9 right of the band") << x9 << QPoint(319, 10) << int(Background2);
    QTest::newRow("x6 large band") << x6 << QPoint(150, 89) << int(Background1);
    QTest::newRow("x6 large value") << x6 << QPoint(150, 90) << int(Background2);
    QTest::newRow("x6 no line 106 above") << x6 << QPoint(106, 100) << int(Background2);
    QTest::newRow("x6 line 106 below") << x6 << QPoint(106, 200) << int(Frame);
    QTest::newRow("x6 line 212 top") << x6 << QPoint(212, 0) << int(Frame);
    QTest::newRow("x6 no line 79 left") << x6 << QPoint(100, 79) << int(Background1);
    QTest::newRow("x6 line 79 right") << x6 << QPoint(213, 79) << int(Frame);
    QTest::newRow("x6 field 1 band") << x6 << QPoint(300, 10) << int(Background1);
    QTest::newRow("x6 field 2 band") << x6 << QPoint(300, 90) << int(Background1);
    QTest::newRow("x6 line 159") << x6 << QPoint(0, 159) << int(Frame);
    QTest::newRow("x6 field 3 band") << x6 << QPoint(0, 160) << int(Background1);
    QTest::newRow("panel band") << panel << QPoint(2, 136) << int(Background1);
    QTest::newRow("panel") << panel << QPoint(2, 137) << int(Background2);
    QTest::newRow("panel has no lines") << panel << QPoint(80, 200) << int(Background2);
    QTest::newRow("sample line 79") << seven << QPoint(300, 79) << int(Frame);
    QTest::newRow("sample no line 106 on top") << seven << QPoint(106, 60) << int(Background2);
    QTest::newRow("sample line 212") << seven << QPoint(212, 239) << int(Frame);
}

// Empty fields (code 0) show the bands and lines alone.
void TestPreview::geometry() {
    QFETCH(int, screen);
    QFETCH(QPoint, at);
    QFETCH(int, element);
    TMK mk;
    DistinctElements(mk);
    const std::vector<uint8_t> none(size_t(FieldCount(TScreen(screen))), 0);
    Draw(mk, TScreen(screen), 0, none);
    QCOMPARE(mk.Preview.size(), QSize(320, 240));
    QCOMPARE(mk.Preview.pixel(at), ElementRgb(mk, element));
}

void TestPreview::textsInTheirPlaces() {
    TLangScope english(true);
    TMK mk;
    DistinctElements(mk);
    const std::array<uint8_t, 9> codes = {12, 0, 0, 0, 0, 0, 0, 0, 0};
    Draw(mk, TScreen::X9, 0, codes);
    // The title in "Color 1" on the band, centred in the 106 wide field.
    int left = 320, right = -1, valueTop = 240;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 106; ++x) {
            const QRgb p = mk.Preview.pixel(x, y);
            if (p == ElementRgb(mk, Colour1)) {
                QVERIFY2(y >= 4 && y < 20, "title off its line");
                left = std::min(left, x), right = std::max(right, x);
            }
            if (p == ElementRgb(mk, Colour2) && y < valueTop) valueTop = y;
        }
    QVERIFY(right > left);
    QVERIFY(qAbs((left + right) / 2 - 53) <= 4);
    QVERIFY(valueTop >= 24); // unit and value below the band
    // The other fields stay empty, and a night preview takes the night colours.
    QCOMPARE(mk.Preview.pixel(150, 10), ElementRgb(mk, Background1));
    Draw(mk, TScreen::X9, 1, codes);
    QCOMPARE(mk.Preview.pixel(106, 0), Rgb(ElementColour(mk, 1, Frame)));
    QVERIFY(ElementColour(mk, 1, Frame) != ElementColour(mk, 0, Frame));
}

void TestPreview::rangeErrors_data() {
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("screen");
    QTest::newRow("frame 16") << int(Frame) << 16 << int(TScreen::X4);
    QTest::newRow("title 200") << int(Colour1) << 200 << int(TScreen::X9);
    QTest::newRow("value area 128") << int(Background2) << 128 << int(TScreen::SinglePanel);
    QTest::newRow("hot number 16") << int(MenuHotNumber) << 16 << int(TScreen::MenuSample);
}

void TestPreview::rangeErrors() {
    QFETCH(int, element);
    QFETCH(int, stored);
    QFETCH(int, screen);
    TMK mk;
    mk.Set("DayElements", stored, element);
    mk.Preview.fill(Rgb(kMark));
    const std::vector<uint8_t> codes(size_t(FieldCount(TScreen(screen))), 12);
    QVERIFY_THROWS_EXCEPTION(RangeError, Draw(mk, TScreen(screen), 0, codes));
    QCOMPARE(mk.Get("DayElements", element), stored);
    QCOMPARE(mk.Preview.pixel(160, 120), Rgb(kMark)); // nothing drawn
    // The other scheme still draws, and so does this one once the index is mended.
    Draw(mk, TScreen(screen), 1, codes);
    mk.Set("DayElements", 15, element);
    Draw(mk, TScreen(screen), 0, codes);
    QVERIFY_THROWS_EXCEPTION(RangeError, Draw(mk, TScreen(screen), 2, codes));
    QVERIFY_THROWS_EXCEPTION(RangeError, PaletteColour(mk, 0, 16));
}

void TestPreview::fieldAt_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("field");
    const int x4 = int(TScreen::X4), x9 = int(TScreen::X9), x6 = int(TScreen::X6),
              one = int(TScreen::SinglePanel);
    QTest::newRow("x4 0") << x4 << QPoint(159, 119) << 0;
    QTest::newRow("x4 1") << x4 << QPoint(160, 0) << 1;
    QTest::newRow("x4 3") << x4 << QPoint(319, 239) << 3;
    QTest::newRow("x9 4") << x9 << QPoint(106, 80) << 4;
    QTest::newRow("x9 last columns") << x9 << QPoint(319, 0) << 2; // 320 div 3 leaves two
    QTest::newRow("x9 8") << x9 << QPoint(318, 239) << 8;
    for (QPoint p : {QPoint(0, 0), QPoint(211, 0), QPoint(0, 159), QPoint(211, 159), QPoint(106, 80)})
        QTest::addRow("x6 top-left %d,%d", p.x(), p.y()) << x6 << p << 0;
    QTest::newRow("x6 cell 2") << x6 << QPoint(212, 79) << 1;
    QTest::newRow("x6 cell 5") << x6 << QPoint(319, 80) << 2;
    QTest::newRow("x6 cell 6") << x6 << QPoint(0, 160) << 3;
    QTest::newRow("x6 cell 7") << x6 << QPoint(106, 239) << 4;
    QTest::newRow("x6 cell 8") << x6 << QPoint(319, 239) << 5;
    QTest::newRow("x1 top") << one << QPoint(100, 0) << -1;
    QTest::newRow("x1 above 4/7") << one << QPoint(100, 137) << -1;
    QTest::newRow("x1 at 4/7") << one << QPoint(0, 138) << 0;
    QTest::newRow("x1 field 1") << one << QPoint(80, 200) << 1;
    QTest::newRow("x1 field 3") << one << QPoint(319, 239) << 3;
    QTest::newRow("outside") << x4 << QPoint(320, 0) << -1;
}

void TestPreview::fieldAt() {
    QFETCH(int, screen);
    QFETCH(QPoint, at);
    QFETCH(int, field);
    QCOMPARE(FieldAt(TScreen(screen), 320, 240, at.x(), at.y()), field);
}

void TestPreview::pictures() {
    const QList<QSize> sizes = {{79, 136}, {149, 136}, {199, 199}, {9, 9},    {129, 129},
                                {25, 49},  {79, 41},   {33, 49},   {33, 105}, {33, 105},
                                {41, 17},  {41, 17},   {105, 105}, {105, 105}};
    QCOMPARE(sizes.size(), PictureCount);
    for (int i = 0; i < PictureCount; ++i) {
        QCOMPARE(DevicePicture(TPicture(i)).size(), sizes[i]);
        QCOMPARE(PictureSize(TPicture(i)), sizes[i]);
    }
    QCOMPARE(PictureName(TPicture::GasStation), "GasStation");
}

void TestPreview::initTestCase() {
    QVERIFY(dir_.isValid());
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k); // the constructor's defaults
    mk.Set("NightElements", 14, Frame);
    for (int i = 0; i < 9; ++i)
        mk.Set("Disp9Params", x9Screen3_[size_t(i)], 18 + i);
    mk.StoreSection(9);
    file_ = dir_.filePath(QStringLiteral("screens.vorng"));
    SettingsFile::Save(mk, file_);
}

// The command line draws the stored fields exactly as the editor would.
void TestPreview::cliRendersAsTheEditor() {
    const QString out = dir_.filePath(QStringLiteral("x9.png"));
    QCOMPARE(RunCli({QStringLiteral("preview"), file_, QStringLiteral("--screen"), QStringLiteral("x9:3"),
                     QStringLiteral("--scheme"), QStringLiteral("night"), QStringLiteral("--lang"),
                     QStringLiteral("ru"), QStringLiteral("-o"), out}),
             0);
    TLangScope russian(false);
    TMK mk;
    SettingsFile::Load(mk, file_);
    mk.LoadAllSections();
    mk.BuildParameterList();
    Draw(mk, TScreen::X9, 1, x9Screen3_);
    const QImage png(out);
    QCOMPARE(png.size(), QSize(320, 240));
    QCOMPARE(png.convertToFormat(QImage::Format_RGB32), mk.Preview);
}

void TestPreview::cliExitCodes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    const QString f = QStringLiteral("FILE"), out = QStringLiteral("OUT");
    for (const char *s : {"x1", "x4:1", "x4:6", "x6:2", "x9:1", "sample", "menu"})
        QTest::addRow("%s", s) << QStringList{f, "--screen", s, "-o", out} << 0;
    QTest::newRow("night russian") << QStringList{f,        "--screen", "x6:1", "--scheme", "night",
                                                  "--lang", "ru",       "-o",   out}
                                   << 0;
    QTest::newRow("missing file") << QStringList{"nonexistent.vorng", "--screen", "x1", "-o", out} << 1;
    QTest::newRow("one byte file") << QStringList{"SHORT", "--screen", "x1", "-o", out} << 1;
    QTest::newRow("cut-off file") << QStringList{"CUT", "--screen", "x1", "-o", out} << 1;
    QTest::newRow("unknown screen") << QStringList{f, "--screen", "x4:7", "-o", out} << 2;
    QTest::newRow("no such layout") << QStringList{f, "--screen", "x5:1", "-o", out} << 2;
    QTest::newRow("unwritable output")
        << QStringList{f, "--screen", "x1", "-o", "/nonexistent/dir/x.png"} << 1;
    QTest::newRow("no screen") << QStringList{f, "-o", out} << 2;
    QTest::newRow("no output") << QStringList{f, "--screen", "x1"} << 2;
    QTest::newRow("bad scheme") << QStringList{f, "--screen", "x1", "--scheme", "dusk", "-o", out} << 2;
    QTest::newRow("no file") << QStringList{"--screen", "x1", "-o", out} << 2;
}

void TestPreview::cliExitCodes() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    const QString out = dir_.filePath(QStringLiteral("%1.png").arg(QTest::currentDataTag()));
    const QString shortFile = dir_.filePath(QStringLiteral("short.vorng")),
                  cutFile = dir_.filePath(QStringLiteral("cut.vorng"));
    TestEnv::WriteFile(shortFile, QByteArray(1, '\0'));
    TestEnv::WriteFile(cutFile, TestEnv::ReadFile(file_).left(2000)); // ends inside the display section
    for (QString &a : args)
        a = a == u"FILE" ? file_ : a == u"SHORT" ? shortFile : a == u"CUT" ? cutFile : a == u"OUT" ? out : a;
    QCOMPARE(RunCli(QStringList{QStringLiteral("preview")} + args), exitCode);
    if (exitCode == 0)
        QCOMPARE(QImage(out).size(), QSize(320, 240));
    else
        QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
