#include "StartupForm.h"

namespace kt {

StartupForm::StartupForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("agreefrm"));
}

} // namespace kt
