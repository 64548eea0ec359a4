#include "MainWindowStub.h"

#include <QAction>
#include <QMenuBar>
#include <QTreeWidget>

#include "platform/Program.h"

namespace kt {

MainWindowStub::MainWindowStub(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("klivamainfrm"));
    setWindowTitle(mainWindowTitle());
    auto* list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("PackList_ListView"));
    list->setHeaderLabels({QStringLiteral("Filename"), QStringLiteral("Video Size"), QStringLiteral("Frame Rate")});
    setCentralWidget(list);
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMnu"));
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("ExitMnu"));
    exit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    resize(640, 420);
}

} // namespace kt
