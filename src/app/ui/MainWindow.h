#pragma once
// The main window `klivamainfrm`: the Pack List with its buttons, the menu bar, the
// toolbar in its band, the three-panel status bar, busy and idle modes.
//
// Every command has one handler, named after its menu item (AddMnu_Click, ...); the
// toolbar, the pop-up menu and the buttons beside the list call the same handlers.
// Other parts of the program plug in through addHandler and packHandler, read the
// options through options(), and drive the status bar and the busy mode through the
// public operations below.
#include "app/MainLayout.h"
#include "app/StartupValues.h"
#include "packlist/PackList.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace kt {

class File64;
class OptionState;
class PackListView;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Builds the window from the start-up values in force (startupValues()).
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence: size, toolbar, title, options restored, Tip of the Day,
    // list set-up, idle status bar, command states. Run once, before show().
    void load();

    // --- Operations used by the rest of the program ---
    void BusyMode(const QString& operation);
    void NotBusyMode();
    void HideLogo();
    void UnhideLogo();
    void ErrorResumeProgram();
    void ShowInShell(const QString& path);
    void RefreshPackListCommands();
    void PackListSetMaxWidth();

    // Status bar panels, 1 to 3 (panel 3 holds a picture, its text is empty).
    void setStatusText(const QString& text); // panel 1, repainted at once
    // Panel 1 := wording(the path shortened by FormatDir to what the panel shows in its own
    // font), as "Packing '" + path + "'".
    void showFileInStatus(const QString& fullPath, const std::function<QString(const QString&)>& wording);
    QString statusText() const;
    QString panelText(int panel) const;
    bool isBusy() const { return m_busy; }

    PackList& packList() { return m_list; }
    PackListView* packListView() const { return m_view; }
    OptionState& options() { return *m_options; }
    File64& file64() { return *m_file64; }
    QAction* action(const QString& objectName) const;

    // Filled in by the parts that add files and pack; empty means "nothing yet".
    std::function<void()> addHandler;
    std::function<void()> packHandler;

    // --- Command handlers ---
    void AddMnu_Click();
    void RemoveMnu_Click();
    void ExitMnu_Click();
    void PackMnu_Click();
    void MoveUpMnu_Click();
    void MoveDownMnu_Click();
    void SelectAllMnu_Click();
    void DeselectAllMnu_Click();
    void InvSelMnu_Click();
    void SortAscendingMnu_Click();
    void SortDescendingMnu_Click();
    void ViewMnu_Click();
    void GeneralMnu_Click();
    void HelpTopicsMnu_Click();
    void TODMnu_Click();
    void TechMnu_Click();
    void AbtMnu_Click();
    void KlivaLESiteMnu_Click();
    void KlivaSiteMnu_Click();
    void KlivaFAQMnu_Click();
    void GoToSiteMnu_Click();
    // Option items.
    void SlowSpeedChk_Click();
    void NormalSpeedChk_Click();
    void FastSpeedChk_Click();
    void UltraSpeedChk_Click();
    void DelNoMnu_Click();
    void DelPromptMnu_Click();
    void DelNoPromptMnu_Click();
    void OverwriteNoMnu_Click();
    void OverwritePromptMnu_Click();
    void OverwriteNoPromptMnu_Click();
    void MCheckMnu_Click();
    void SeamlessMnu_Click();
    // Buttons beside and below the list.
    void selposup_cmd_Click() { MoveUpMnu_Click(); }
    void selposdown_cmd_Click() { MoveDownMnu_Click(); }
    // Column sizing buttons.
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    // The toolbar, by position (separators included).
    void cToolbar1_ButtonClick(int position);
    void cToolbar1_HotItemChange(int position);
    // The list's own events.
    void PackList_ListView_Click() { RefreshPackListCommands(); }
    void PackList_ListView_KeyDown() { RefreshPackListCommands(); }
    void PackList_ListView_RightButton(const QPoint& globalPos);
    void PackList_ListView_DblClick() { RemoveMnu_Click(); }

    // The last placement applied (twips), for whoever needs to see it.
    const layout::Placement& placement() const { return m_placement; }
    int dpi() const;

signals:
    // The window was closed (Exit, Ctrl+Q or the close box): the program ends.
    void unloaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSurface();
    void buildListButtons(); // under and beside the Pack List
    void buildHiddenControls();
    void buildMenus();
    void buildPopupMenu();
    void buildToolbar();
    void buildStatusBar();
    void buildLogos();
    void applyPlacement();
    void applyLoadSize();
    void applyCommandStates();
    void updateOptionChecks();
    QPushButton* listButton(const char* name, const QString& caption, const QString& accessibleName,
                            const QString& description);
    QPixmap logoFor(bool busy) const;

    PackList m_list;
    PackListView* m_view = nullptr;
    OptionState* m_options = nullptr;
    std::unique_ptr<File64> m_file64;
    QWidget* m_surface = nullptr;
    QWidget* m_rebar = nullptr;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_actionMenu = nullptr;
    QMenu* m_popup = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    QLabel* m_panel3 = nullptr;
    QLabel* m_busyImg = nullptr; // 16 x 16 logos (96 dpi or less)
    QLabel* m_notBusyImg = nullptr;
    QLabel* m_busyImg16 = nullptr; // 20 x 20 logos (above 96 dpi)
    QLabel* m_notBusyImg16 = nullptr;
    QPushButton* m_sortAsc = nullptr;
    QPushButton* m_sortDes = nullptr;
    QPushButton* m_selectAll = nullptr;
    QPushButton* m_deselectAll = nullptr;
    QPushButton* m_invSel = nullptr;
    QPushButton* m_moveUp = nullptr;
    QPushButton* m_moveDown = nullptr;
    QLabel* m_packLabel = nullptr;
    QHash<QString, QAction*> m_actions;
    QHash<QObject*, int> m_toolbarPositions; // toolbar widget -> position
    QVector<QAction*> m_toolbarActions;      // by position
    PackListCommandStates m_listStates;
    StartupValues m_startup;
    layout::Placement m_placement;
    QString m_operation;
    bool m_busy = false;
    bool m_loaded = false;
    bool m_shownOnce = false;
    bool m_tipAtShow = false; // the Tip of the Day waits for the window to be on screen
};

} // namespace kt
