#pragma once

#include <QDialog>
#include <QList>

class QLineEdit;

namespace varnock {

// The special-character list ("特殊字符列表"): symbols that keyboards do not offer, each in a
// read-only box; a click copies the symbol so that it can be pasted into a voucher's text.
class FormTT : public QDialog
{
    Q_OBJECT

public:
    explicit FormTT(QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("特殊符号"); }
    static QStringList characters();

    const QList<QLineEdit *> &boxes() const { return m_boxes; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLineEdit *> m_boxes;
};

} // namespace varnock
