#include "base/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Folders::FileDialogStart() {
    const QString program = QCoreApplication::applicationDirPath();
    if (QFileInfo(program).isWritable()) return program;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}
