// The main window's command handlers: one per menu item, shared by the toolbar, the
// pop-up menu and the buttons beside the list.
#include "app/ToolbarTable.h"
#include "app/ui/MainWindow.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "engine/ui/WindowPackHost.h"
#include "packlist/ui/PackListCommands.h"
#include "packlist/ui/PackListView.h"
#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "settings/OptionState.h"
#include "settings/ui/PreferencesDialog.h"

#include <QMenu>

namespace kt {

void MainWindow::AddMnu_Click()
{
    if (addHandler)
        addHandler();
}

void MainWindow::RemoveMnu_Click()
{
    RemoveCommand(*m_view, [this] { RefreshPackListCommands(); });
}

void MainWindow::ExitMnu_Click()
{
    close();
}

void MainWindow::PackMnu_Click()
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
    hooks.showFileInStatus = [this](const QString& path,
                                    const std::function<QString(const QString&)>& wording) {
        showFileInStatus(path, wording);
    };
    PackFromWindow(this, std::move(hooks), m_options->packOptions(), *m_file64);
}

// The list commands live with the Pack List; each does its own focus and refresh.
void MainWindow::MoveUpMnu_Click()
{
    MoveUpCommand(*m_view);
}
void MainWindow::MoveDownMnu_Click()
{
    MoveDownCommand(*m_view);
}
void MainWindow::SelectAllMnu_Click()
{
    SelectAllCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void MainWindow::DeselectAllMnu_Click()
{
    DeselectAllCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void MainWindow::InvSelMnu_Click()
{
    InvertSelectionCommand(*m_view, [this] { RefreshPackListCommands(); });
}
void MainWindow::SortAscendingMnu_Click()
{
    SortAscendingCommand(*m_view);
}
void MainWindow::SortDescendingMnu_Click()
{
    SortDescendingCommand(*m_view, [this] { RefreshPackListCommands(); });
}

void MainWindow::ViewMnu_Click()
{
    if (m_list.isEmpty()) {
        MsgBox(tr("Nothing to view."), MB_ICONEXCLAMATION, programTitle());
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

void MainWindow::GeneralMnu_Click()
{
    PreferencesDialog dialog(*m_options); // no owner window
    dialog.exec();
}

void MainWindow::HelpTopicsMnu_Click()
{
    openHelpTopics(m_startup.programDir);
}
void MainWindow::TODMnu_Click()
{
    openTipOfTheDay(this);
}
void MainWindow::TechMnu_Click()
{
    showTechSupport(this);
}
void MainWindow::AbtMnu_Click()
{
    showAboutBox(this);
}
void MainWindow::KlivaLESiteMnu_Click()
{
    openWebTarget(WebTarget::ThisEdition);
}
void MainWindow::KlivaSiteMnu_Click()
{
    openWebTarget(WebTarget::ProductFamily);
}
void MainWindow::KlivaFAQMnu_Click()
{
    openWebTarget(WebTarget::Faq);
}
void MainWindow::GoToSiteMnu_Click()
{
    openWebTarget(WebTarget::MakerHome);
}

void MainWindow::SlowSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Slow);
}
void MainWindow::NormalSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Normal);
}
void MainWindow::FastSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::Fast);
}
void MainWindow::UltraSpeedChk_Click()
{
    m_options->chooseTransferRate(TransferRate::UltraFast);
}
void MainWindow::DelNoMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::No);
}
void MainWindow::DelPromptMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::Prompt);
}
void MainWindow::DelNoPromptMnu_Click()
{
    m_options->chooseDelAfterAction(DeleteAfterAction::NoPrompt);
}
void MainWindow::OverwriteNoMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::No);
}
void MainWindow::OverwritePromptMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::Prompt);
}
void MainWindow::OverwriteNoPromptMnu_Click()
{
    m_options->chooseOverwritePolicy(OverwritePolicy::NoPrompt);
}
void MainWindow::MCheckMnu_Click()
{
    m_options->toggleMpegCheck();
}
void MainWindow::SeamlessMnu_Click()
{
    m_options->toggleSeamless();
}

void MainWindow::Command6_Click()
{
    m_view->fillWithLastColumn();
}
void MainWindow::Command7_Click()
{
    m_view->columnAutoAll();
}
void MainWindow::Command8_Click()
{
    m_view->columnMinAll();
}

void MainWindow::cToolbar1_ButtonClick(int position)
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

void MainWindow::cToolbar1_HotItemChange(int position)
{
    setStatusText(toolbarHint(position));
}

void MainWindow::PackList_ListView_RightButton(const QPoint& globalPos)
{
    // The press may just have changed the selection: the items must show the states
    // of the selection the user sees now.
    RefreshPackListCommands();
    m_popup->popup(globalPos);
}

} // namespace kt
