#pragma once

#include <QDateEdit>

namespace varnock {

// Date field of every screen: "yyyy-MM-dd" with a calendar, today's date to start with,
// within the bounds every date keeps.
class DatePicker : public QDateEdit
{
    Q_OBJECT

public:
    explicit DatePicker(QWidget *parent = nullptr);
};

} // namespace varnock
