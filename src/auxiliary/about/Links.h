#pragma once
// The maker's web pages, mail addresses and the help file, all opened through the shell.
#include <QString>

namespace kt {

// The five pages on the maker's site.
enum class WebTarget { MakerHome, ProductFamily, ThisEdition, Faq, Support };

QString makerName();
QString webTargetAddress(WebTarget target);
QString supportMailAddress();

void openWebTarget(WebTarget target); // the result is not checked
void MailTo(const QString& address);  // a new message in the default mail program

inline QString helpFileName()
{
    return QStringLiteral("KlvTarn.html");
}
QString helpFilePath(const QString& programDir);
// Opens the help file; when it does not exist, says so (stop icon, OK).
void openHelpTopics(const QString& programDir);

} // namespace kt
