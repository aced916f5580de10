#include "app/IniFls.h"

#include "base/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
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
    const QFileInfo besideInfo(beside);
    const bool writable = besideInfo.exists() ? besideInfo.isWritable() : QFileInfo(program.absolutePath()).isWritable();
    if (writable) return beside;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
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
    // A place on a screen that is no longer attached would leave the window unreachable.
    const QRect wanted(QPoint(left, top), size);
    bool visible = false;
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(wanted)) visible = true;
    if (!visible) return;
    if (resizable) form->resize(size);
    form->move(left, top);
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
