#include "LinkLabel.h"

#include <QMouseEvent>

namespace kt {

LinkLabel::LinkLabel(const QString& objectName, QWidget* parent) : QLabel(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::setLinkText(const QString& text)
{
    setTextFormat(Qt::PlainText);
    setText(text);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0xCC));
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_action) {
        event->accept();
        m_action();
        return;
    }
    QLabel::mousePressEvent(event);
}

} // namespace kt
