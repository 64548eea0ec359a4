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

// A caption, and a read-only text box with a drop-down list lying over it in one grid cell.
// Filled from the list and never read back, the box takes no typing. Both are named by the
// caption; the description says what the option does.
struct OptionWidgets
{
    QLineEdit* text;
    QComboBox* list;
};
OptionWidgets addOption(QGridLayout* grid, int row, const char* labelName, const QString& caption,
                        const char* textName, const char* listName, const QStringList& entries,
                        const QString& description)
{
    QWidget* frame = grid->parentWidget();
    auto* label = named(new QLabel(caption, frame), labelName);
    grid->addWidget(label, row, 0);
    auto* text = named(new QLineEdit(frame), textName);
    text->setReadOnly(true);
    auto* list = named(new QComboBox(frame), listName);
    list->addItems(entries);
    label->setBuddy(list);
    const QString name = caption.chopped(caption.endsWith(QLatin1Char(':')) ? 1 : 0);
    for (QWidget* w : {static_cast<QWidget*>(text), static_cast<QWidget*>(list)}) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
    grid->addWidget(text, row, 1);
    grid->addWidget(list, row, 1);
    list->raise();
    QObject::connect(list, &QComboBox::currentIndexChanged, text,
                     [text, list] { text->setText(list->currentText()); });
    return {text, list};
}

} // namespace

PreferencesDialog::PreferencesDialog(OptionState& options, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("Preferencesfrm"));
    setWindowTitle(tr("Preferences"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_pages = named(new QComboBox(this), "PrefCmb");
    m_pages->addItems({tr("General"), separatorEntry(), tr("Delete After Action"), separatorEntry(),
                       tr("Mpeg Compatibilty Check"), separatorEntry(), tr("Seamless Join")});
    m_pages->setAccessibleName(tr("Page"));
    m_pages->setAccessibleDescription(tr("The group of options shown below."));
    m_pages->installEventFilter(this);
    m_pages->view()->installEventFilter(this); // arrows inside the open list count too

    QFrame* frame = buildOptions();

    m_prev = named(new QPushButton(tr("&Prev"), this), "PrevCmd");
    m_next = named(new QPushButton(tr("&Next"), this), "NextCmd");
    auto* reset = named(new QPushButton(tr("Reset"), this), "Reset_Cmd");
    auto* cancel = named(new QPushButton(tr("Cancel"), this), "cancel_cmd");
    auto* ok = named(new QPushButton(tr("&OK"), this), "SavePref_cmd");
    m_prev->setAccessibleDescription(tr("Shows the previous page of options."));
    m_next->setAccessibleDescription(tr("Shows the next page of options."));
    reset->setAccessibleDescription(tr("Sets every option of this window to its default."));
    ok->setAccessibleDescription(tr("Applies the options and closes the window."));
    cancel->setAccessibleDescription(tr("Closes the window without changing the options."));
    // Return runs the focused button (each is an auto-default button of the dialog); OK
    // takes it when the focus is elsewhere.
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
    // Tab walks the screen: the top row, the options from the top, the bottom row.
    QWidget* order[] = {m_pages,         m_prev,     m_next,     m_delact.text,
                        m_delact.list,   m_mcc.text, m_mcc.list, m_seamless.text,
                        m_seamless.list, reset,      ok,         cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_pages, &QComboBox::currentIndexChanged, this, &PreferencesDialog::PrefCmb_Click);
    connect(m_next, &QPushButton::clicked, this, &PreferencesDialog::NextCmd_Click);
    connect(m_prev, &QPushButton::clicked, this, &PreferencesDialog::PrevCmd_Click);
    connect(reset, &QPushButton::clicked, this, &PreferencesDialog::Reset_Cmd_Click);
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::SavePref_cmd_Click);
    connect(cancel, &QPushButton::clicked, this, &PreferencesDialog::cancel_cmd_Click);

    load();
}

// The frame of the options, one caption, text box and list for each, and the help of the
// Seamless Join.
QFrame* PreferencesDialog::buildOptions()
{
    auto* frame = named(new QFrame(this), "Frame");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    const QStringList noYes{tr("No"), tr("Yes")};
    const QString seamlessHelp =
        tr("Yes: the clocks of MPEG program streams run on across the parts, and the tags and VBR headers of "
           "later MP3 files are left out, so that players see one file of the right length.\nNo: the files "
           "are joined byte for byte.");
    const QStringList captions{tr("Delete After Action:"), tr("Mpeg Compatibility Check:"),
                               tr("Seamless Join:")};
    const auto [delactTxt, delactCmb] =
        addOption(grid, 0, "DelactLbl", captions[0], "DelactTxt", "DelactCmb",
                  {tr("No"), tr("Yes (Prompt)"), tr("Yes (No Prompt)")},
                  tr("What happens to the source files after a successful pack: they stay, or they go to "
                     "the trash after a question, or without one."));
    m_delact = {DeletePage, delactTxt, delactCmb};
    const auto [mccTxt, mccCmb] = addOption(
        grid, 1, "MCCLbl", captions[1], "MCCTxt", "MCCCmb", noYes,
        tr("Whether Pack checks that every video has the picture size and frame rate of the first."));
    m_mcc = {MpegPage, mccTxt, mccCmb};
    const auto [seamlessTxt, seamlessCmb] =
        addOption(grid, 2, "SeamlessLbl", captions[2], "SeamlessTxt", "SeamlessCmb", noYes, seamlessHelp);
    m_seamless = {SeamlessPage, seamlessTxt, seamlessCmb};
    m_seamlessHelp = named(new QLabel(seamlessHelp, frame), "SeamlessHelpLbl");
    m_seamlessHelp->setWordWrap(true);
    m_seamlessHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The frame keeps its height on every page.
    QSizePolicy keepRoom = m_seamlessHelp->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_seamlessHelp->setSizePolicy(keepRoom);
    grid->addWidget(m_seamlessHelp, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    // Room around the options, in text lines so it scales with the font.
    const int line = fontMetrics().height();
    grid->setContentsMargins(line, line, line, line);
    grid->setVerticalSpacing(line / 2);
    int widest = 0;
    for (const QString& caption : captions)
        widest = qMax(widest, fontMetrics().horizontalAdvance(caption));
    frame->setMinimumWidth(widest * 2);
    // The wrapped help needs more lines when the window is narrow (a small screen, a large
    // font, longer words): room for them at the narrowest, or the text runs under the frame.
    m_seamlessHelp->setMinimumHeight(
        m_seamlessHelp->heightForWidth(widest * 2 - 2 * (line + frame->frameWidth())));
    return frame;
}

void PreferencesDialog::choose(const Option& option, int entry)
{
    option.list->setCurrentIndex(entry);
    option.text->setText(option.list->itemText(entry));
}

void PreferencesDialog::load()
{
    // QComboBox starts at index 0 without a change signal; run the page step by hand.
    m_pages->setCurrentIndex(GeneralPage);
    PrefCmb_Click(GeneralPage);
    m_prev->setEnabled(false);

    auto read = [](const QString& name) { return ReadRegString(HKEY_CURRENT_USER, appKeyPath(), name); };
    choose(m_delact, int(delAfterActionFrom(read(settingsKey::delact())).value_or(DeleteAfterAction::No)));
    choose(m_mcc, read(settingsKey::mcc()) != onOffText(false) ? 1 : 0);
    choose(m_seamless, read(settingsKey::seamless()) == onOffText(true) ? 1 : 0);
}

void PreferencesDialog::selectPage(int index)
{
    m_pages->setCurrentIndex(index);
}

void PreferencesDialog::PrefCmb_Click(int index)
{
    // A separator never stays selected: step on in the direction of travel. Setting
    // the index runs this step again, nested, for the page it lands on.
    if (index % 2 == 1) {
        selectPage(m_movingBack ? index - 1 : index + 1);
        index = m_pages->currentIndex();
    }
    for (const Option* o : {&m_delact, &m_mcc, &m_seamless}) {
        const bool shown = index == o->page;
        o->list->setVisible(shown);
        // A covered text box is out of the Tab order; the list over it takes the focus.
        o->text->setFocusPolicy(shown ? Qt::NoFocus : Qt::StrongFocus);
        if (shown && o->text->hasFocus())
            o->list->setFocus();
    }
    m_seamlessHelp->setVisible(index == SeamlessPage);
    m_prev->setEnabled(index != GeneralPage);
    m_next->setEnabled(index != SeamlessPage);
}

void PreferencesDialog::NextCmd_Click()
{
    m_movingBack = false;
    if (m_pages->currentIndex() < SeamlessPage)
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
    const int answer = MsgBox(tr("Are you sure you want to reset and restore all default settings?"),
                              MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST,
                              QStringLiteral("Vantu Kliva TARN"));
    if (answer != IDYES)
        return;
    m_delact.list->setCurrentIndex(0);
    m_mcc.list->setCurrentIndex(1);
    m_seamless.list->setCurrentIndex(0);
}

void PreferencesDialog::SavePref_cmd_Click()
{
    const int del = m_delact.list->currentIndex();
    if (del >= 0 && del <= 2)
        m_options.chooseDelAfterAction(DeleteAfterAction(del));
    m_options.setMpegCheck(m_mcc.list->currentIndex() != 0);
    m_options.setSeamless(m_seamless.list->currentIndex() == 1);
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
