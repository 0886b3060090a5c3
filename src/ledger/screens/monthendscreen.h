#pragma once

#include "store/formats.h"

class QWidget;

namespace varnock {

class Database;

// The month-end command has no window of its own: its questions and refusals are message
// boxes and the closing runs under the progress window.
class MonthEndScreen
{
public:
    // Puts the questions in order (acting only on Yes), shows the first refusal, closes the
    // month and says so. True when a closing was written.
    static bool run(QWidget *parent, Database &db, int mode, const Formats &formats);
};

} // namespace varnock
