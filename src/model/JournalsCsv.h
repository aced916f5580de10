#pragma once
// The journals as comma-separated values for spreadsheets (RFC 4180): a header row
// in the current language, then one row per record with its raw values first and
// the cells the viewer shows after them.

#include "model/Journals.h"

#include <QByteArray>
#include <QString>

class TMK;

namespace Journals {

// A field in double quotes, inner quotes doubled, when it holds a comma, a quote, CR
// or LF; else as it is.
QString CsvField(const QString &text);
// Fields separated by commas, every row ended by CR LF.
QString CsvText(const TTextGrid &rows);

// The header row and the records' rows. An empty record carries only its number and
// the cells the viewer shows.
TTextGrid CsvTable(const TMK &mk, TReport which, int faultFormat);
// The CSV of a settings file, read and loaded as the main window does, in UTF-8 with
// a byte order mark, by which spreadsheets know it for UTF-8. Raises Error.
QByteArray FileCsv(const QString &path, TReport which);

} // namespace Journals
