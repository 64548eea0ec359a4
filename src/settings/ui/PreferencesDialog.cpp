#include "PreferencesDialog.h"

#include "platform/MessageBox.h"
#include "settings/OptionState.h"
#include "settings/Registry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace kt {
namespace {

QString separatorEntry()
{
    return QString(20, QLatin1Char('_'));
}

template <class W> W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// A read-only text box with a drop-down list lying over it in one grid cell.
void stack(QGridLayout* grid, int row, QLineEdit* text, QComboBox* list)
{
    grid->addWidget(text, row, 1);
    grid->addWidget(list, row, 1);
    list->raise();
}

} // namespace

PreferencesDialog::PreferencesDialog(OptionState& options, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("Preferencesfrm"));
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_pages = named(new QComboBox(this), "PrefCmb");
    m_pages->addItems({QStringLiteral("General"), separatorEntry(), QStringLiteral("Delete After Action"),
                       separatorEntry(), QStringLiteral("Mpeg Compatibilty Check")});
    m_pages->installEventFilter(this);
    m_pages->view()->installEventFilter(this); // arrows inside the open list count too

    auto* frame = named(new QFrame(this), "Frame");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    auto* delactLbl = named(new QLabel(QStringLiteral("Delete After Action:"), frame), "DelactLbl");
    auto* mccLbl = named(new QLabel(QStringLiteral("Mpeg Compatibility Check:"), frame), "MCCLbl");
    // Filled from the lists and never read back, so they take no typing.
    m_delactTxt = named(new QLineEdit(QStringLiteral("No"), frame), "DelactTxt");
    m_mccTxt = named(new QLineEdit(QStringLiteral("Yes"), frame), "MCCTxt");
    m_delactTxt->setReadOnly(true);
    m_mccTxt->setReadOnly(true);
    m_delactCmb = named(new QComboBox(frame), "DelactCmb");
    m_delactCmb->addItems(
        {QStringLiteral("No"), QStringLiteral("Yes (Prompt)"), QStringLiteral("Yes (No Prompt)")});
    m_mccCmb = named(new QComboBox(frame), "MCCCmb");
    m_mccCmb->addItems({QStringLiteral("No"), QStringLiteral("Yes")});
    grid->addWidget(delactLbl, 0, 0);
    stack(grid, 0, m_delactTxt, m_delactCmb);
    grid->addWidget(mccLbl, 1, 0);
    stack(grid, 1, m_mccTxt, m_mccCmb);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    // Room around the two options, in text lines so it scales with the font.
    const int line = fontMetrics().height();
    grid->setContentsMargins(line, line, line, line);
    grid->setVerticalSpacing(line / 2);
    frame->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Mpeg Compatibility Check:")) * 2);

    m_prev = named(new QPushButton(QStringLiteral("&Prev"), this), "PrevCmd");
    m_next = named(new QPushButton(QStringLiteral("&Next"), this), "NextCmd");
    auto* reset = named(new QPushButton(QStringLiteral("Reset"), this), "Reset_Cmd");
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cancel_cmd");
    auto* ok = named(new QPushButton(QStringLiteral("&OK"), this), "SavePref_cmd");
    for (QPushButton* b : {m_prev, m_next, reset, cancel})
        b->setAutoDefault(false);
    ok->setDefault(true);
    m_prev->installEventFilter(this);

    auto* nav = new QHBoxLayout;
    nav->addWidget(m_pages, 1);
    nav->addWidget(m_prev);
    nav->addWidget(m_next);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(nav);
    top->addWidget(frame, 1);
    top->addLayout(buttons);

    connect(m_pages, &QComboBox::currentIndexChanged, this, &PreferencesDialog::PrefCmb_Click);
    connect(m_delactCmb, &QComboBox::currentIndexChanged, this,
            [this] { m_delactTxt->setText(m_delactCmb->currentText()); });
    connect(m_mccCmb, &QComboBox::currentIndexChanged, this,
            [this] { m_mccTxt->setText(m_mccCmb->currentText()); });
    connect(m_next, &QPushButton::clicked, this, &PreferencesDialog::NextCmd_Click);
    connect(m_prev, &QPushButton::clicked, this, &PreferencesDialog::PrevCmd_Click);
    connect(reset, &QPushButton::clicked, this, &PreferencesDialog::Reset_Cmd_Click);
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::SavePref_cmd_Click);
    connect(cancel, &QPushButton::clicked, this, &PreferencesDialog::cancel_cmd_Click);

    load();
}

void PreferencesDialog::load()
{
    // QComboBox starts at index 0 without a change signal; run the page step by hand.
    m_pages->setCurrentIndex(GeneralPage);
    PrefCmb_Click(GeneralPage);
    m_prev->setEnabled(false);

    const QString delact = ReadRegString(HKEY_CURRENT_USER, appKeyPath(), settingsKey::delact());
    const int delIndex = int(delAfterActionFrom(delact).value_or(DeleteAfterAction::No));
    m_delactCmb->setCurrentIndex(delIndex);
    m_delactTxt->setText(m_delactCmb->itemText(delIndex));

    const bool mccOn =
        ReadRegString(HKEY_CURRENT_USER, appKeyPath(), settingsKey::mcc()) != QLatin1String("Off");
    m_mccCmb->setCurrentIndex(mccOn ? 1 : 0);
    m_mccTxt->setText(m_mccCmb->currentText());
}

void PreferencesDialog::selectPage(int index)
{
    m_pages->setCurrentIndex(index);
}

void PreferencesDialog::PrefCmb_Click(int index)
{
    // A separator never stays selected: step on in the direction of travel. Setting
    // the index runs this step again, nested, for the page it lands on.
    if (index == 1 || index == 3) {
        selectPage(m_movingBack ? index - 1 : index + 1);
        index = m_pages->currentIndex();
    }
    m_delactCmb->setVisible(index == DeletePage);
    m_mccCmb->setVisible(index == MpegPage);
    m_prev->setEnabled(index != GeneralPage);
    m_next->setEnabled(index != MpegPage);
}

void PreferencesDialog::NextCmd_Click()
{
    m_movingBack = false;
    if (m_pages->currentIndex() < MpegPage)
        selectPage(m_pages->currentIndex() + 1);
}

void PreferencesDialog::PrevCmd_Click()
{
    m_movingBack = true;
    if (m_pages->currentIndex() >= 1)
        selectPage(m_pages->currentIndex() - 1);
    m_movingBack = false;
}

void PreferencesDialog::Reset_Cmd_Click()
{
    const int answer = MsgBox(
        QStringLiteral("Are you sure you want to reset and restore all default settings?"),
        MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST, QStringLiteral("Vantu Kliva TARN"));
    if (answer != IDYES)
        return;
    m_delactCmb->setCurrentIndex(0);
    m_mccCmb->setCurrentIndex(1);
}

void PreferencesDialog::SavePref_cmd_Click()
{
    const int del = m_delactCmb->currentIndex();
    if (del >= 0 && del <= 2)
        m_options.chooseDelAfterAction(DeleteAfterAction(del));
    m_options.setMpegCheck(m_mccCmb->currentIndex() != 0);
    accept();
}

void PreferencesDialog::cancel_cmd_Click()
{
    reject();
}

bool PreferencesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_pages || watched == m_pages->view()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up)
            m_movingBack = true;
        else if (key == Qt::Key_Down)
            m_movingBack = false;
    } else if (watched == m_pages && event->type() == QEvent::Wheel) {
        // Wheel-up steps back like the Up arrow, so it can pass a separator too.
        const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (dy != 0)
            m_movingBack = dy > 0;
    } else if (watched == m_prev && event->type() == QEvent::KeyRelease) {
        m_movingBack = false;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kt
