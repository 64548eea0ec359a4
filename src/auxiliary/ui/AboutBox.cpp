#include "AboutBox.h"

#include "IconPictures.h"
#include "LinkLabel.h"
#include "auxiliary/about/Links.h"
#include "auxiliary/about/SysInfo.h"
#include "platform/Program.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kt {

namespace {
// PicIcon: clicking the product picture closes the box.
class ClosingPicture : public QLabel
{
public:
    ClosingPicture(QDialog* box) : QLabel(box), m_box(box) { setObjectName(QStringLiteral("PicIcon")); }

protected:
    void mousePressEvent(QMouseEvent*) override { m_box->reject(); }

private:
    QDialog* m_box;
};
} // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("abtfrm"));
    SetWindowIcons(this);
    setWindowTitle(tr("About %1").arg(programTitle()));

    auto* picture = new ClosingPicture(this);
    picture->setFixedSize(40, 40);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(aboutProductPicture());
    picture->setAccessibleName(programTitle());
    picture->setAccessibleDescription(tr("Click the picture to close this window."));

    auto* title = new QLabel(programTitle(), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    title->setFont(big);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* maker = new LinkLabel(QStringLiteral("vantu_URL"), this);
    maker->setLinkText(webTargetAddress(WebTarget::MakerHome));
    maker->setAction([] { openWebTarget(WebTarget::MakerHome); });
    maker->setAccessibleDescription(tr("Opens the maker's web page."));

    auto* description = new QLabel(
        tr("Joins MPEG-1 video and MP3 files into one, byte for byte, after checking that the pieces fit "
           "together."),
        this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* disclaimer =
        new QLabel(tr("Copyright \u00A9 %1. This program comes with no warranty; keep a copy of your sources "
                      "until you have checked the packed file.")
                       .arg(makerName()),
                   this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);

    // Credits 1 and 2 share their rows with credits 3 and 4; at most one pair shows.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("CreditsPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(panel);
    grid->setColumnStretch(1, 1);
    const QVector<Credit> staff = credits();
    for (int i = 0; i < staff.size(); ++i) {
        const Credit credit = staff.at(i);
        auto* image = new LinkLabel(QStringLiteral("Email_Img%1").arg(i), panel);
        image->setPixmap(aboutMailPicture());
        image->setFixedSize(34, 34);
        image->setToolTip(credit.mail);
        image->setAccessibleName(tr("Write to %1").arg(credit.name));
        image->setAction([mail = credit.mail] { MailTo(mail); });
        auto* label = new QLabel(credit.role + QStringLiteral(":\n") + credit.name, panel);
        label->setObjectName(QStringLiteral("lblCredit%1").arg(i + 1));
        grid->addWidget(image, i % 2, 0);
        grid->addWidget(label, i % 2, 1);
        image->hide();
        label->hide();
        m_mailImages.append(image);
        m_creditLabels.append(label);
    }
    panel->setMinimumHeight(2 * 40 + 2 * grid->contentsMargins().top());

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(tr("&System Info..."), this);
    sysInfo->setAccessibleDescription(tr("Starts a program that describes this computer."));
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, [] { StartSysInfo(sysInfoProbe()); });

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addWidget(maker);
    text->addSpacing(6);
    text->addWidget(description);
    text->addWidget(panel);
    text->addWidget(disclaimer);
    auto* head = new QHBoxLayout;
    head->addWidget(picture, 0, Qt::AlignTop);
    head->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("ChangeSplash"));
    m_timer->setInterval(kCreditsTickMs);
    connect(m_timer, &QTimer::timeout, this, &AboutBox::ChangeSplash_Timer);
    m_timer->start();
}

void AboutBox::ChangeSplash_Timer()
{
    m_rotation.tick();
    showCredits();
}

void AboutBox::showCredits()
{
    for (int i = 0; i < m_creditLabels.size(); ++i) {
        const bool visible = i < 2 ? m_rotation.firstPairVisible() : m_rotation.secondPairVisible();
        m_creditLabels.at(i)->setVisible(visible);
        m_mailImages.at(i)->setVisible(visible);
    }
}

} // namespace kt
