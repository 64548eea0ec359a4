#pragma once
// A label that acts as a link: the hand pointer over it, and the action runs when the
// left button goes down on it (not on a completed click). Other buttons do nothing.
#include <QLabel>
#include <functional>

namespace kt {

class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString& objectName, QWidget* parent = nullptr);
    void setAction(std::function<void()> action) { m_action = std::move(action); }
    // Blue underlined text, as links look.
    void setLinkText(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_action;
};

} // namespace kt
