#include "TechSupportDialog.h"

#include "IconPictures.h"
#include "LinkLabel.h"
#include "auxiliary/about/Links.h"

#include <QGridLayout>
#include <QLabel>

namespace kt {

TechSupportDialog::TechSupportDialog(QWidget* owner) : QDialog(owner)
{
    // A link is named by its caption ("Website: https://..."), as a reader hears the row.
    auto captionFor = [this](const QString& caption, QLabel* link) {
        link->setAccessibleName(caption + QLatin1Char(' ') + link->text());
        return new QLabel(caption, this);
    };
    setObjectName(QStringLiteral("TechSupportDialog"));
    SetWindowIcons(this);
    setWindowTitle(tr("Vantu Kliva Technical Support"));

    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(new QLabel(tr("Please check the below website for any updates and bugfixes."), this),
                    row++, 0, 1, 2);
    auto* site = new LinkLabel(QStringLiteral("KlivaURL_lbl"), this);
    site->setLinkText(webTargetAddress(WebTarget::ProductFamily));
    site->setAction([] { openWebTarget(WebTarget::ProductFamily); });
    grid->addWidget(captionFor(tr("Website:"), site), row, 0);
    grid->addWidget(site, row++, 1);
    grid->setRowMinimumHeight(row++, 10);
    grid->addWidget(new QLabel(tr("You can submit bug reports to"), this), row++, 0, 1, 2);
    auto* mail = new LinkLabel(QStringLiteral("SupportEmail_lbl"), this);
    mail->setLinkText(supportMailAddress());
    mail->setAction([] { MailTo(supportMailAddress()); });
    grid->addWidget(captionFor(tr("Email:"), mail), row, 0);
    grid->addWidget(mail, row++, 1);
    auto* support = new LinkLabel(QStringLiteral("SupportURL_lbl"), this);
    support->setLinkText(webTargetAddress(WebTarget::Support));
    support->setAction([] { openWebTarget(WebTarget::Support); });
    grid->addWidget(captionFor(tr("Support:"), support), row, 0);
    grid->addWidget(support, row++, 1);
    grid->setColumnStretch(1, 1);
}

} // namespace kt
