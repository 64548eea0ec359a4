// The main window's command handlers: one per menu item, shared by the toolbar, the
// pop-up menu and the buttons beside the list.
#include "app/MainWindow.h"
#include "app/ToolbarTable.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "engine/ui/WindowPackHost.h"
#include "packlist/ui/PackListCommands.h"
#include "packlist/ui/PackListView.h"
#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "settings/OptionState.h"
#include "settings/ui/Preferencesfrm.h"

#include <QMenu>

namespace kt {

void klivamainfrm::AddMnu_Click()
{
    if (addHandler)
        addHandler();
}

void klivamainfrm::RemoveMnu_Click()
{
    RemoveCommand(*m_view, [this] { RefreshPackListCommands(); });
}

void klivamainfrm::ExitMnu_Click()
{
    close();
}

void klivamainfrm::PackMnu_Click()
{
    if (packHandler) {
        packHandler();
        return;
    }
    if (!m_file64) // the load has not run: no file object to pack with
        return;
    // The pack command, with this window as its host.
    MainWindowPackHooks hooks;
    hooks.packListPaths = [this] { return m_list.paths(); };
    hooks.hideLogo = [this] { HideLogo(); };
    hooks.unhideLogo = [this] { UnhideLogo(); };
    hooks.busyMode = [this](const QString& operation) { BusyMode(operation); };
    hooks.notBusyMode = [this] { NotBusyMode(); };
    hooks.errorResumeProgram = [this] { ErrorResumeProgram(); };
    hooks.setStatusText = [this](const QString& text) { setStatusText(text); };
    PackFromWindow(this, std::move(hooks), m_options->packOptions(), *m_file64);
}

// The list commands live with the Pack List; each does its own focus and refresh.
void klivamainfrm::MoveUpMnu_Click()
{
    MoveUpCommand(*m_view);
}
void klivamainfrm::MoveDownMnu_Click()
{
    MoveDownCommand(*m_view);
}
void klivamainfrm::SelectAllMnu_Click()
{
    SelectAllCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void klivamainfrm::DeselectAllMnu_Click()
{
    DeselectAllCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void klivamainfrm::InvSelMnu_Click()
{
    InvertSelectionCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void klivamainfrm::SortAscendingMnu_Click()
{
    SortAscendingCommand(*m_view);
}
void klivamainfrm::SortDescendingMnu_Click()
{
    SortDescendingCommand(*m_view, [this] { RefreshPackListCommands(); });
}

void klivamainfrm::ViewMnu_Click()
{
    if (m_list.isEmpty()) {
        MsgBox(QStringLiteral("Nothing to view."), MB_ICONEXCLAMATION, programTitle());
        return;
    }
    // Only the first selected file is opened.
    for (int i = 1; i <= m_list.count(); ++i) {
        if (m_list.isSelected(i)) {
            ShowInShell(m_list.path(i));
            return;
        }
    }
}

void klivamainfrm::GeneralMnu_Click()
{
    Preferencesfrm dialog(*m_options); // no owner window
    dialog.exec();
}

void klivamainfrm::HelpTopicsMnu_Click()
{
    openHelpTopics(m_startup.programDir);
}
void klivamainfrm::TODMnu_Click()
{
    openTipOfTheDay(this);
}
void klivamainfrm::TechMnu_Click()
{
    showTechSupport(this);
}
void klivamainfrm::AbtMnu_Click()
{
    showAboutBox(this);
}
void klivamainfrm::KlivaLESiteMnu_Click()
{
    openWebTarget(WebTarget::ThisEdition);
}
void klivamainfrm::KlivaSiteMnu_Click()
{
    openWebTarget(WebTarget::ProductFamily);
}
void klivamainfrm::KlivaFAQMnu_Click()
{
    openWebTarget(WebTarget::Faq);
}
void klivamainfrm::GoToSiteMnu_Click()
{
    openWebTarget(WebTarget::MakerHome);
}

void klivamainfrm::SlowSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Slow);
}
void klivamainfrm::NormalSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Normal);
}
void klivamainfrm::FastSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Fast);
}
void klivamainfrm::UltraSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::UltraFast);
}
void klivamainfrm::DelNoMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::No);
}
void klivamainfrm::DelPromptMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::Prompt);
}
void klivamainfrm::DelNoPromptMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::NoPrompt);
}
void klivamainfrm::OverwriteNoMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::No);
}
void klivamainfrm::OverwritePromptMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::Prompt);
}
void klivamainfrm::OverwriteNoPromptMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::NoPrompt);
}
void klivamainfrm::MCheckMnu_Click()
{
    m_options->toggleMpegCheck();
}

void klivamainfrm::Command6_Click()
{
    m_view->fillWithLastColumn();
}
void klivamainfrm::Command7_Click()
{
    m_view->columnAutoAll();
}
void klivamainfrm::Command8_Click()
{
    m_view->columnMinAll();
}

void klivamainfrm::cToolbar1_ButtonClick(int position)
{
    switch (toolbarCommandAt(position)) {
    case ToolbarCommand::Add:
        AddMnu_Click();
        break;
    case ToolbarCommand::Remove:
        RemoveMnu_Click();
        break;
    case ToolbarCommand::MoveUp:
        MoveUpMnu_Click();
        break;
    case ToolbarCommand::MoveDown:
        MoveDownMnu_Click();
        break;
    case ToolbarCommand::Pack:
        PackMnu_Click();
        break;
    case ToolbarCommand::Options:
        GeneralMnu_Click();
        break;
    case ToolbarCommand::Help:
        HelpTopicsMnu_Click();
        break;
    case ToolbarCommand::None:
        break;
    }
}

void klivamainfrm::cToolbar1_HotItemChange(int position)
{
    setStatusText(toolbarHint(position));
}

void klivamainfrm::PackList_ListView_RightButton(const QPoint& globalPos)
{
    // The press may just have changed the selection: the items must show the states
    // of the selection the user sees now.
    RefreshPackListCommands();
    m_popup->popup(globalPos);
}

} // namespace kt
