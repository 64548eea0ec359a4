#include "AuxiliaryWindows.h"

#include "AboutBox.h"
#include "TechSupportDialog.h"
#include "TipOfTheDay.h"
#include "auxiliary/about/Links.h"
#include "platform/Program.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>

namespace kt {

namespace {
QString programDirectory()
{
    return programDataDir(QCoreApplication::applicationDirPath());
}
} // namespace

void openTipOfTheDay(QWidget* owner)
{
    // One window at a time: an open one comes forward instead of a second copy.
    if (owner) {
        for (TipOfTheDay* open : owner->findChildren<TipOfTheDay*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (open->isVisible()) {
                open->raise();
                open->activateWindow();
                return;
            }
        }
    }
    auto* tips = new TipOfTheDay(programDirectory(), owner);
    tips->setAttribute(Qt::WA_DeleteOnClose);
    tips->setModal(false);
    tips->adjustSize();
    if (owner && owner->isVisible()) {
        // Centred over the owner, kept on the owner's screen. The tip's frame is not known
        // before it is shown: take the owner's decoration as its measure.
        QRect r(QPoint(), tips->size() + (owner->frameGeometry().size() - owner->size()));
        r.moveCenter(owner->frameGeometry().center());
        if (const QScreen* screen = owner->screen()) {
            const QRect avail = screen->availableGeometry();
            r.moveLeft(qBound(avail.left(), r.left(), qMax(avail.left(), avail.right() - r.width())));
            r.moveTop(qBound(avail.top(), r.top(), qMax(avail.top(), avail.bottom() - r.height())));
        }
        tips->move(r.topLeft());
    }
    tips->show();
    tips->raise();
    tips->activateWindow();
}

void showAboutBox(QWidget* owner)
{
    AboutBox box(owner);
    box.exec();
}

void showTechSupport(QWidget* owner)
{
    TechSupportDialog box(owner);
    box.exec();
}

} // namespace kt
