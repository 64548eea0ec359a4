#include "AuxiliaryWindows.h"

#include "AboutBox.h"
#include "TipOfTheDay.h"
#include "auxiliary/about/Links.h"
#include "platform/Program.h"

#include <QCoreApplication>

namespace kt {

namespace {
QString programDirectory()
{
    return programDataDir(QCoreApplication::applicationDirPath());
}
} // namespace

void openTipOfTheDay(QWidget* owner)
{
    auto* tips = new Tipfrm(programDirectory(), owner);
    tips->setAttribute(Qt::WA_DeleteOnClose);
    tips->setModal(false);
    tips->show();
}

bool tipOfTheDayAtStart()
{
    return tipsShownAtStart();
}

void showAboutBox(QWidget* owner)
{
    abtfrm box(owner);
    box.exec();
}

void showTechSupport(QWidget* owner)
{
    TechSupportDialog box(owner);
    box.exec();
}

} // namespace kt
