#include "Links.h"

#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "platform/Shell.h"

#include <QCoreApplication>
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

namespace {
// Opens through the shell; where nothing can open it, says so (the only failure an
// address can have: there is no file to miss).
void openOrSay(const QString& target)
{
    if (shell().open(target) == ShellOpenResult::Failed)
        MsgBox(noProgramToOpenText(target), MB_ICONEXCLAMATION, programTitle());
}
} // namespace

void openWebTarget(WebTarget target)
{
    openOrSay(webTargetAddress(target));
}

void MailTo(const QString& address)
{
    openOrSay(QStringLiteral("mailto:") + address);
}

QString helpFilePath(const QString& programDir)
{
    return programDir + QLatin1Char('/') + helpFileName();
}

void openHelpTopics(const QString& programDir)
{
    const QString path = helpFilePath(programDir);
    switch (shell().open(path)) {
    case ShellOpenResult::NotFound:
        MsgBox(QCoreApplication::translate("kt::Links", "'%1' was not found!")
                   .arg(QDir::toNativeSeparators(path)),
               MB_ICONHAND);
        break;
    case ShellOpenResult::Failed:
        MsgBox(noProgramToOpenText(QDir::toNativeSeparators(path)), MB_ICONEXCLAMATION, programTitle());
        break;
    case ShellOpenResult::Opened:
        break;
    }
}

} // namespace kt
