#include "base/IniFile.h"

#include "base/SafeFile.h"

#include "base/Error.h"

#include <QFileInfo>

namespace {

// Names and values are read as UTF-8; a line that is not stays untouched in the file.
QString Text(const QByteArray &line) { return QString::fromUtf8(line); }

bool IsSectionLine(const QByteArray &line) {
    const QByteArray t = line.trimmed();
    return t.startsWith('[') && t.contains(']');
}

QString SectionName(const QByteArray &line) {
    const QByteArray t = line.trimmed();
    return Text(t.mid(1, t.indexOf(']') - 1)).trimmed();
}

} // namespace

TIniFile::TIniFile(const QString &path) : path_(path) { Load(); }

TIniFile::~TIniFile() {
    if (lastError_.isEmpty()) UpdateFile();
}

void TIniFile::Load() {
    lines_.clear();
    // No configuration file of this program comes near this size.
    constexpr qint64 kMaxSize = 16 << 20;
    if (!QFileInfo::exists(path_)) return;
    QByteArray raw;
    try {
        raw = SafeFile::ReadAll(path_, kMaxSize);
    } catch (const Error &e) {
        loadError_ = e.message();
        return;
    }
    qsizetype start = 0;
    bool eolSeen = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r' && raw[i] != '\n') continue;
        const qsizetype eolLength = raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
        TLine line{raw.mid(start, i - start), raw.mid(i, eolLength)};
        if (!eolSeen) {
            eol_ = line.eol;
            eolSeen = true;
        }
        lines_.push_back(std::move(line));
        i += eolLength - 1;
        start = i + 1;
    }
    if (start < raw.size()) lines_.push_back({raw.mid(start), {}});
}

int TIniFile::FindSection(const QString &section) const {
    for (int i = 0; i < int(lines_.size()); ++i)
        if (IsSectionLine(lines_[size_t(i)].text) &&
            SectionName(lines_[size_t(i)].text).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TIniFile::FindKey(int sectionLine, const QString &key) const {
    for (int i = sectionLine + 1; i < int(lines_.size()) && !IsSectionLine(lines_[size_t(i)].text); ++i) {
        const QByteArray &l = lines_[size_t(i)].text;
        const qsizetype eq = l.indexOf('=');
        if (eq > 0 && !l.trimmed().startsWith(';') && Text(l.left(eq)).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const {
    const int s = FindSection(section);
    if (s < 0) return def;
    const int k = FindKey(s, key);
    if (k < 0) return def;
    const QByteArray &l = lines_[size_t(k)].text;
    return Text(l.mid(l.indexOf('=') + 1)).trimmed();
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

void TIniFile::Insert(int at, const QString &text) {
    // A last line without a line end gets one before anything follows it.
    if (at > 0 && lines_[size_t(at - 1)].eol.isEmpty()) lines_[size_t(at - 1)].eol = eol_;
    lines_.insert(lines_.begin() + at, TLine{text.toUtf8(), eol_});
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const QByteArray line = (key + QLatin1Char('=') + value).toUtf8();
    int s = FindSection(section);
    if (s < 0) {
        // Drop the placeholder blank line of a new file rather than keep it forever.
        if (lines_.size() == 1 && lines_[0].text.trimmed().isEmpty()) lines_.clear();
        Insert(int(lines_.size()), QLatin1Char('[') + section + QLatin1Char(']'));
        Insert(int(lines_.size()), Text(line));
        dirty_ = true;
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        if (lines_[size_t(k)].text != line) {
            lines_[size_t(k)].text = line; // its line end stays
            dirty_ = true;
        }
        return;
    }
    // After the section's last key (before any trailing blank lines).
    int insertAt = s + 1;
    for (int i = s + 1; i < int(lines_.size()) && !IsSectionLine(lines_[size_t(i)].text); ++i)
        if (!lines_[size_t(i)].text.trimmed().isEmpty()) insertAt = i + 1;
    Insert(insertAt, Text(line));
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
    // What could not be read is not replaced by the few lines the program knows.
    if (!loadError_.isEmpty()) {
        lastError_ = loadError_;
        return false;
    }
    QByteArray out;
    for (const TLine &l : lines_) out += l.text + l.eol;
    lastError_ = SafeFile::TryWrite(path_, out);
    if (!lastError_.isEmpty()) {
        qWarning("%s", qPrintable(lastError_));
        return false;
    }
    dirty_ = false;
    return true;
}
