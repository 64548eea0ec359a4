#pragma once
// Tool tips of the five buttons below the Pack List, and the status-bar text each one
// shows while the pointer moves over it.
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace kt {

struct ListButtonHint
{
    const char* objectName;
    QString statusText;
    QString toolTip;
};

// The five buttons, in their order below the list.
QList<ListButtonHint> listButtonHints();

// Gives the buttons found under `parent` their tool tips and shows their status text
// through setStatusText while the pointer is over them.
void installListButtonHints(QWidget* parent, std::function<void(const QString&)> setStatusText);

} // namespace kt
