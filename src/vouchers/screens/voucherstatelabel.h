#pragma once

#include <QLabel>

class QGroupBox;

namespace varnock {

// What an entry screen is doing with the voucher it shows, and the caption that says so
// ("凭证新增", "凭证修改", "凭证浏览", or the screen's own words for a posted voucher).
class VoucherStateLabel : public QLabel
{
    Q_OBJECT

public:
    enum class State { Browse, New, Edit, Posted };

    explicit VoucherStateLabel(const QString &postedCaption, QWidget *parent = nullptr,
                               const QString &newCaption = QStringLiteral("凭证新增"));

    State state() const { return m_state; }
    void setState(State state);
    // New or Edit: the voucher's fields take input.
    bool isEntering() const { return m_state == State::New || m_state == State::Edit; }
    QString caption(State state) const;

    // Puts the label, centred, in a frame titled "状态", for screens that show it that way.
    QGroupBox *framed();

private:
    QString m_postedCaption;
    QString m_newCaption;
    State m_state = State::Browse;
};

} // namespace varnock
