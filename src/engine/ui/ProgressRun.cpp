#include "ProgressRun.h"

#include "ProgressWindow.h"

namespace kt {

void runJoinInProgressWindow(QWidget* owner, const std::function<void(ProgressView&)>& join)
{
    ProgressWindow window(owner);
    QObject::connect(&window, &ProgressWindow::started, &window, [&window, &join] {
        join(window);
        if (window.isVisible())
            window.finish();
    });
    window.exec();
}

} // namespace kt
