#include "base/IniFile.h"

#include "base/SafeFile.h"

#include <QFile>

namespace {

bool IsSectionLine(const QString &line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'));
}

QString SectionName(const QString &line) {
    const QString t = line.trimmed();
    return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
}

} // namespace

TIniFile::TIniFile(const QString &path) : path_(path) { Load(); }

TIniFile::~TIniFile() { UpdateFile(); }

void TIniFile::Load() {
    lines_.clear();
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray raw = f.readAll();
    if (raw.contains("\r\n")) eol_ = QStringLiteral("\r\n");
    QString text = QString::fromUtf8(raw);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = text.split(QLatin1Char('\n'));
    if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
}

int TIniFile::FindSection(const QString &section) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (IsSectionLine(lines_[i]) && SectionName(lines_[i]).compare(section, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TIniFile::FindKey(int sectionLine, const QString &key) const {
    for (int i = sectionLine + 1; i < lines_.size() && !IsSectionLine(lines_[i]); ++i) {
        const QString &l = lines_[i];
        const int eq = int(l.indexOf(QLatin1Char('=')));
        if (eq > 0 && !l.trimmed().startsWith(QLatin1Char(';')) &&
            l.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const {
    const int s = FindSection(section);
    if (s < 0) return def;
    const int k = FindKey(s, key);
    if (k < 0) return def;
    const QString &l = lines_[k];
    return l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const {
    QString v = ReadString(section, key, QString());
    bool ok = false;
    int result;
    if (v.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) || v.startsWith(QLatin1Char('$')))
        result = v.mid(v.startsWith(QLatin1Char('$')) ? 1 : 2).toInt(&ok, 16);
    else
        result = v.toInt(&ok, 10);
    return ok ? result : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const QString line = key + QLatin1Char('=') + value;
    int s = FindSection(section);
    if (s < 0) {
        // Drop the placeholder blank line of a new file rather than keep it forever.
        if (lines_.size() == 1 && lines_[0].trimmed().isEmpty()) lines_.clear();
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines_.append(line);
        dirty_ = true;
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        if (lines_[k] != line) {
            lines_[k] = line;
            dirty_ = true;
        }
        return;
    }
    // After the section's last key (before any trailing blank lines).
    int insertAt = s + 1;
    for (int i = s + 1; i < lines_.size() && !IsSectionLine(lines_[i]); ++i)
        if (!lines_[i].trimmed().isEmpty()) insertAt = i + 1;
    lines_.insert(insertAt, line);
    dirty_ = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::UpdateFile() {
    if (!dirty_) return true;
    QByteArray out;
    for (const QString &l : lines_) out += (l + eol_).toUtf8();
    lastError_ = SafeFile::TryWrite(path_, out);
    if (!lastError_.isEmpty()) {
        qWarning("%s", qPrintable(lastError_));
        return false;
    }
    dirty_ = false;
    return true;
}
