#include "Links.h"

#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QDir>

namespace kt {

QString makerName()
{
    return QStringLiteral("Vantu Software");
}

QString webTargetAddress(WebTarget target)
{
    switch (target) {
    case WebTarget::MakerHome:
        return QStringLiteral("https://www.vantu.example/");
    case WebTarget::ProductFamily:
        return QStringLiteral("https://www.vantu.example/kliva/");
    case WebTarget::ThisEdition:
        return QStringLiteral("https://www.vantu.example/kliva/tarn/");
    case WebTarget::Faq:
        return QStringLiteral("https://www.vantu.example/kliva/faq.html");
    case WebTarget::Support:
        return QStringLiteral("https://www.vantu.example/support/");
    }
    return {};
}

QString supportMailAddress()
{
    return QStringLiteral("support@vantu.example");
}

void openWebTarget(WebTarget target)
{
    shell().open(webTargetAddress(target));
}

void MailTo(const QString& address)
{
    shell().open(QStringLiteral("mailto:") + address);
}

QString helpFilePath(const QString& programDir)
{
    return programDir + QLatin1Char('/') + helpFileName();
}

void openHelpTopics(const QString& programDir)
{
    const QString path = helpFilePath(programDir);
    if (shell().open(path) == ShellOpenResult::NotFound)
        MsgBox(QLatin1Char('\'') + QDir::toNativeSeparators(path) + QStringLiteral("' was not found!"),
               MB_ICONHAND);
}

} // namespace kt
