#pragma once
// A first main window: the title, the empty Pack List and Exit.
#include <QMainWindow>

namespace kt {

class MainWindowStub : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindowStub(QWidget* parent = nullptr);
};

} // namespace kt
