#pragma once
// The link's exchanges, frame by frame, for finding out what happens on the line:
// request and answer in hex with the time the answer took. Off unless asked for:
// tripconf-cli --verbose, or QT_LOGGING_RULES="tripconf.link.debug=true" for the program.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(LinkLog)
