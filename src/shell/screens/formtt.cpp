#include "shell/screens/formtt.h"

#include "shell/screens/help.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnock {

FormTT::FormTT(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormTT"));
    setWindowTitle(QStringLiteral("特殊字符列表"));

    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    const QStringList chars = characters();
    const int columns = 8;
    for (int i = 0; i < chars.size(); ++i) {
        auto *box = new QLineEdit(chars[i], this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignCenter);
        box->setFixedSize(40, 30);
        QFont f = box->font();
        f.setPointSize(f.pointSize() + 3);
        box->setFont(f);
        box->installEventFilter(this);
        grid->addWidget(box, i / columns, i % columns);
        m_boxes << box;
    }
    auto *hint = new QLabel(QStringLiteral("单击符号即复制，在文字栏中按 Ctrl+V 粘贴。"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(hint);
    setFixedSize(sizeHint());
    Help::install(this, helpTopic());
}

QStringList FormTT::characters()
{
    return {QStringLiteral("Φ"),  QStringLiteral("φ"),  QStringLiteral("×"),  QStringLiteral("÷"),
            QStringLiteral("±"),  QStringLiteral("≤"),  QStringLiteral("≥"),  QStringLiteral("≠"),
            QStringLiteral("㎡"), QStringLiteral("m³"), QStringLiteral("㎜"), QStringLiteral("㎝"),
            QStringLiteral("㎏"), QStringLiteral("℃"),  QStringLiteral("°"),  QStringLiteral("‰"),
            QStringLiteral("²"),  QStringLiteral("³"),  QStringLiteral("α"),  QStringLiteral("β"),
            QStringLiteral("μ"),  QStringLiteral("Ω"),  QStringLiteral("∠"),  QStringLiteral("△"),
            QStringLiteral("Ⅰ"),  QStringLiteral("Ⅱ"),  QStringLiteral("Ⅲ"),  QStringLiteral("Ⅳ"),
            QStringLiteral("Ⅴ"),  QStringLiteral("№"),  QStringLiteral("※"),  QStringLiteral("√"),
            QStringLiteral("○"),  QStringLiteral("●"),  QStringLiteral("□"),  QStringLiteral("■"),
            QStringLiteral("◇"),  QStringLiteral("◆"),  QStringLiteral("→"),  QStringLiteral("—")};
}

bool FormTT::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto *box = qobject_cast<QLineEdit *>(watched); box && m_boxes.contains(box)) {
            box->selectAll();
            QApplication::clipboard()->setText(box->text());
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace varnock
