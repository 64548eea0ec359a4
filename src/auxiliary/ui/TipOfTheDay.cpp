#include "TipOfTheDay.h"

#include "AuxiliaryWindows.h"
#include "IconPictures.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kt {

TipOfTheDay::TipOfTheDay(const QString& programDir, QWidget* owner, TipPicker::Uniform uniform)
    : QDialog(owner), m_picker(std::move(uniform))
{
    setObjectName(QStringLiteral("Tipfrm"));
    setWindowTitle(tr("Vantu Kliva TARN Tip of the Day"));
    SetWindowIcons(this);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);

    m_icon = new QLabel(panel);
    m_icon->setObjectName(QStringLiteral("PicIcon"));
    m_icon->setFixedSize(40, 40);
    m_icon->setAlignment(Qt::AlignCenter);

    auto* heading = new QLabel(tr("Did you know..."), panel);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);

    m_tipText = new QLabel(panel);
    m_tipText->setObjectName(QStringLiteral("lblTipText"));
    m_tipText->setTextFormat(Qt::PlainText);
    m_tipText->setWordWrap(true);
    m_tipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipText->setMinimumSize(300, 110);
    m_tipText->setAccessibleName(tr("Tip"));

    auto* headRow = new QHBoxLayout;
    headRow->addWidget(m_icon);
    headRow->addWidget(heading, 1);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addLayout(headRow);
    panelLayout->addWidget(m_tipText, 1);

    auto* next = new QPushButton(tr("&Next Tip"), this);
    next->setObjectName(QStringLiteral("cmdNextTip"));
    next->setAutoDefault(false);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdOK"));
    close->setDefault(true); // Enter; Esc closes a dialog anyway
    m_showAtStart = new QCheckBox(tr("&Show Tips at Startup"), this);
    m_showAtStart->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(next);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(panel, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_showAtStart);

    connect(next, &QPushButton::clicked, this, &TipOfTheDay::NextRandomTip);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // Also runs when the state is restored below, which writes "1" back, as a click would.
    connect(m_showAtStart, &QCheckBox::toggled, this, [](bool on) { setTipsShownAtStart(on); });

    const QPixmap picture =
        loadIconFilePicture(programDir + QStringLiteral("/Tod.ir"), panel->palette().color(QPalette::Window));
    if (!picture.isNull())
        m_icon->setPixmap(picture);
    // The tips do not depend on the icon: a missing Tod.ir has been reported by the loader
    // and the window goes on with its tips and its check box.
    m_showAtStart->setChecked(tipsShownAtStart());
    if (!LoadTips(tipsFilePath(programDir), m_picker.tips))
        m_tipText->setText(tipsNotFoundText());
    else
        NextRandomTip();
}

void TipOfTheDay::NextRandomTip()
{
    m_picker.NextRandomTip();
    DisplayCurrentTip();
}

void TipOfTheDay::DisplayCurrentTip()
{
    if (const std::optional<QString> tip = m_picker.currentTip())
        m_tipText->setText(*tip);
}

} // namespace kt
