#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace varnock {

// Editor of a lookup cell: the cell's text with a small "…" button that asks for a picker.
class LookupEdit : public QWidget
{
    Q_OBJECT

public:
    explicit LookupEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *button() const { return m_button; }

signals:
    // The "…" button or F4.
    void lookupRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_edit;
    QToolButton *m_button;
};

} // namespace varnock
