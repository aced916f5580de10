#include "app/IniFls.h"

#include "base/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// A new file starts as one line holding a single space.
QString CreateIfMissing(const QString &path) {
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        SafeFile::TryWrite(path, " \n"); // no file yet is harmless: nothing is lost
    }
    return path;
}

} // namespace

TMIniFile::TMIniFile() : TMIniFile(DefaultPath()) {}

TMIniFile::TMIniFile(const QString &path) : TIniFile(CreateIfMissing(path)) {}

QString TMIniFile::DefaultPath() {
    const QString overridden = qEnvironmentVariable("TRIPCONF_INI");
    if (!overridden.isEmpty()) return overridden;
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString name = program.completeBaseName() + QStringLiteral(".ini");
    const QString beside = program.absoluteDir().filePath(name);
    // Saving writes a new file beside the old one and swaps them: the folder must take
    // a new file, a writable file alone is not enough.
    if (QFileInfo(program.absolutePath()).isWritable()) return beside;
    const QString own = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
    // The first time, the per-user file starts from the one beside the program.
    if (!QFileInfo::exists(own) && QFileInfo(beside).isReadable()) {
        QDir().mkpath(QFileInfo(own).absolutePath());
        QFile::copy(beside, own);
        QFile(own).setPermissions(QFile(own).permissions() | QFileDevice::WriteOwner);
    }
    return own;
}

// --- window placement ----------------------------------------------------------------

void TMIniFile::RestorePlacement(const QString &section, QWidget *form) const {
    int current = 0;
    if (form->windowState() & Qt::WindowMinimized) current = 1;
    if (form->windowState() & Qt::WindowMaximized) current = 2;
    const int state = ReadInteger(section, QStringLiteral("State"), current);
    if (state == 2) {
        form->setWindowState(Qt::WindowMaximized);
        return;
    }
    form->setWindowState(state == 1 ? Qt::WindowMinimized : Qt::WindowNoState);

    // No screen is this large; the bound keeps the rectangle's right and bottom edges
    // from overflowing for any number a damaged file may hold.
    constexpr int kFar = 1 << 20;
    const QPoint pos = form->pos();
    const int left = std::clamp(ReadInteger(section, QStringLiteral("Left"), pos.x()), 0, kFar);
    const int top = std::clamp(ReadInteger(section, QStringLiteral("Top"), pos.y()), 0, kFar);
    QSize size = form->size();
    const bool resizable = form->minimumSize() != form->maximumSize();
    if (resizable) {
        int w = ReadInteger(section, QStringLiteral("Width"), size.width());
        int h = ReadInteger(section, QStringLiteral("Height"), size.height());
        size = QSize(w < 0 ? 100 : std::min(w, kFar), h < 0 ? 100 : std::min(h, kFar));
    }
    // The window must stay reachable: its title bar (the top strip, by which it is
    // moved) wholly on one screen from top to bottom and at least partly across.
    const int titleBar = std::max(form->style()->pixelMetric(QStyle::PM_TitleBarHeight), 16);
    QRect placed(QPoint(left, top), size);
    const QRect title(placed.topLeft(), QSize(size.width(), titleBar));
    const int enough = std::min(size.width(), 100);
    bool reachable = false;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect on = screen->availableGeometry().intersected(title);
        if (on.height() == title.height() && on.width() >= enough) reachable = true;
    }
    // Saved under another monitor layout or scale: onto the nearest screen, as much of
    // the window as fits, its top-left corner first.
    if (!reachable) {
        const QScreen *nearest = nullptr;
        qint64 best = 0;
        for (QScreen *screen : QGuiApplication::screens()) {
            const QRect area = screen->availableGeometry();
            const QPoint c = placed.center();
            const qint64 dx = c.x() < area.left() ? area.left() - c.x() : c.x() > area.right() ? c.x() - area.right() : 0;
            const qint64 dy = c.y() < area.top() ? area.top() - c.y() : c.y() > area.bottom() ? c.y() - area.bottom() : 0;
            if (!nearest || dx * dx + dy * dy < best) {
                nearest = screen;
                best = dx * dx + dy * dy;
            }
        }
        if (!nearest) return;
        const QRect area = nearest->availableGeometry();
        placed.moveTo(std::max(area.left(), std::min(placed.left(), area.right() + 1 - size.width())),
                      std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - size.height())));
    }
    if (resizable) form->resize(size);
    // Left and Top place the frame, as SavePlacement reads them. Before the window is
    // mapped its frame is not known yet, and a widget's move() would then place the
    // client area there instead: the window would creep up by its title bar at every
    // start. The window's own frame position leaves that to the window manager.
    form->move(placed.topLeft());
    if (QWindow *window = form->windowHandle(); window && !window->isVisible())
        window->setFramePosition(placed.topLeft());
}

void TMIniFile::SavePlacement(const QString &section, const QWidget *form) {
    int state = 0;
    if (form->windowState() & Qt::WindowMinimized) state = 1;
    if (form->windowState() & Qt::WindowMaximized) state = 2;
    WriteInteger(section, QStringLiteral("State"), state);
    WriteInteger(section, QStringLiteral("Left"), form->x());
    WriteInteger(section, QStringLiteral("Top"), form->y());
    WriteInteger(section, QStringLiteral("Width"), form->width());
    WriteInteger(section, QStringLiteral("Height"), form->height());
}
