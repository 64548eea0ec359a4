// The main window's controls: surface, menu bar, pop-up menu and toolbar.
#include "app/ToolbarTable.h"
#include "app/ui/Artwork.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ObjectNames.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "mpeg/StreamInfo.h"
#include "packlist/ui/ListButtonHints.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"

#include <QAction>
#include <QActionGroup>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace kt {

using namespace layout;

QPushButton* MainWindow::listButton(const char* name, const QString& caption, const QString& accessibleName,
                                    const QString& description)
{
    auto* b = new QPushButton(caption, m_surface);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessibleName);
    b->setAccessibleDescription(description);
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
    // Small buttons: Arial 6.75 pt, with the style's padding taken off so the caption
    // fits the 204-twip height at any DPI.
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(6.75);
    b->setFont(f);
    b->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    return b;
}

void MainWindow::buildSurface()
{
    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("klivamainfrm_Surface"));
    m_surface->setMouseTracking(true);
    m_surface->installEventFilter(this);
    setCentralWidget(m_surface);

    m_packLabel = new QLabel(tr("Pack List:"), m_surface);
    m_packLabel->setObjectName(QStringLiteral("packwhat_lbl"));

    m_view = new PackListView(m_list, m_surface);
    connect(m_view, &PackListView::listClicked, this, &MainWindow::PackList_ListView_Click);
    connect(m_view, &PackListView::listKeyDown, this, &MainWindow::PackList_ListView_KeyDown);
    connect(m_view, &PackListView::listRightButtonDown, this, &MainWindow::PackList_ListView_RightButton);
    connect(m_view, &PackListView::listMenuKeyDown, this, &MainWindow::PackList_ListView_RightButton);
    connect(m_view, &PackListView::listDoubleClicked, this, &MainWindow::PackList_ListView_DblClick);
    m_view->setColumnWidth(0, twipsToPixels(3600, dpi()));
    // The design width, or what "not available" needs in this language: the margins an item
    // view keeps on either side of a cell's text, and a space for the rounding of a scaled font.
    const QFontMetrics metrics = m_view->fontMetrics();
    const int cellMargins =
        2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1);
    m_view->setColumnWidth(1,
                           qMax(twipsToPixels(1300, dpi()),
                                metrics.horizontalAdvance(PackListModel::shownStreamText(notAvailableText()) +
                                                          QLatin1Char(' ')) +
                                    cellMargins));
    m_view->setAccessibleName(tr("Pack List"));
    m_view->setAccessibleDescription(
        tr("The files to pack, in the order they are joined, with the video size and frame rate of each."));

    buildListButtons();
    buildHiddenControls();
}

void MainWindow::buildListButtons()
{
    // The captions are short; the names and descriptions say what a screen reader should.
    m_sortAsc = listButton("packlst_SortAsc_cmd", tr("ascending"), tr("Sort ascending"),
                           tr("Puts the files of the Pack List in ascending order of their paths."));
    m_sortDes = listButton("packlst_SortDes_cmd", tr("descending"), tr("Sort descending"),
                           tr("Puts the files of the Pack List in descending order of their paths."));
    m_selectAll = listButton("packlst_SelectAll_cmd", tr("a", "select all, one letter"), tr("Select all"),
                             tr("Selects every file in the Pack List."));
    m_deselectAll = listButton("packlst_DeselectAll_cmd", tr("d", "deselect all, one letter"),
                               tr("Deselect all"), tr("Clears the selection of the Pack List."));
    m_invSel = listButton("packlst_InvSel_cmd", tr("i", "inverse select, one letter"), tr("Inverse select"),
                          tr("Selects the files that were not selected and deselects the others."));
    installListButtonHints(m_surface, [this](const QString& text) { setStatusText(text); });
    connect(m_sortAsc, &QPushButton::clicked, this, &MainWindow::SortAscendingMnu_Click);
    connect(m_sortDes, &QPushButton::clicked, this, &MainWindow::SortDescendingMnu_Click);
    connect(m_selectAll, &QPushButton::clicked, this, &MainWindow::SelectAllMnu_Click);
    connect(m_deselectAll, &QPushButton::clicked, this, &MainWindow::DeselectAllMnu_Click);
    connect(m_invSel, &QPushButton::clicked, this, &MainWindow::InvSelMnu_Click);

    // The move buttons sit right of the list at the design width; they come into view
    // when the window is made wider.
    auto moveButton = [this](const char* name, bool up) {
        auto* b = new QPushButton(m_surface);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        const int w = twipsToPixels(kMoveButtonWidth, dpi());
        b->setIcon(moveArrow(up, w - 6, w - 6));
        b->setIconSize(QSize(w - 6, w - 6));
        b->setToolTip(up ? tr("Move selected file(s) up") : tr("Move selected file(s) down"));
        b->setAccessibleName(up ? tr("Move up") : tr("Move down")); // the tooltip describes it
        return b;
    };
    m_moveUp = moveButton("selposup_cmd", true);
    m_moveDown = moveButton("selposdown_cmd", false);
    connect(m_moveUp, &QPushButton::clicked, this, &MainWindow::selposup_cmd_Click);
    connect(m_moveDown, &QPushButton::clicked, this, &MainWindow::selposdown_cmd_Click);
}

// Working controls, never shown.
void MainWindow::buildHiddenControls()
{
    auto hidden = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        w->hide();
    };
    hidden(new QLineEdit(m_surface), "SaveAsNewFilename_txt");
    hidden(new QListWidget(m_surface), "Mcheck_Lst");
    hidden(new QLineEdit(m_surface), "SetFocus_txt");
    auto column = [&](const char* name, const QString& caption, void (MainWindow::*handler)()) {
        auto* b = new QPushButton(caption, m_surface);
        hidden(b, name);
        if (handler)
            connect(b, &QPushButton::clicked, this, handler);
    };
    column("Command6", QStringLiteral("Column max"), &MainWindow::Command6_Click);
    column("Command7", QStringLiteral("Column auto"), &MainWindow::Command7_Click);
    column("Command8", QStringLiteral("Column min"), &MainWindow::Command8_Click);
    column("Command9", QStringLiteral("Set 2D column"), nullptr);
}

namespace {

// One row of a menu table. A Menu row opens a submenu that the next End row at its level
// closes. Radio rows next to each other form one exclusive group, drawn as round marks.
enum class Row { Menu, End, Item, Toggle, Radio, Separator };

struct MenuRow
{
    Row kind;
    const char* name = nullptr;
    QString text = {};
    const char* shortcut = nullptr;
    void (MainWindow::*handler)() = nullptr;
    bool hidden = false; // exists, but is never shown, nor are its shortcuts used
};

using M = MainWindow;
using namespace objectNames;

std::vector<MenuRow> menuBarRows()
{
    const auto sep = MenuRow{Row::Separator};
    const auto end = MenuRow{Row::End};
    return {
        {Row::Menu, FileMnu, MainWindow::tr("&File")},
        {Row::Item, "AddMnu", MainWindow::tr("&Add..."), "Ctrl+D", &M::AddMnu_Click},
        {Row::Item, "RemoveMnu", MainWindow::tr("&Remove"), "Del", &M::RemoveMnu_Click},
        sep,
        {Row::Item, "ExitMnu", MainWindow::tr("E&xit"), "Ctrl+Q", &M::ExitMnu_Click},
        end,
        {Row::Menu, ActionMnu, MainWindow::tr("&Actions")},
        {Row::Item, PackMnu, MainWindow::tr("&Pack"), "Ctrl+P", &M::PackMnu_Click},
        sep,
        {Row::Item, "MoveUpMnu", MainWindow::tr("Move &Up"), "Ctrl+U", &M::MoveUpMnu_Click},
        {Row::Item, "MoveDownMnu", MainWindow::tr("Move Dow&n"), "Ctrl+N", &M::MoveDownMnu_Click},
        sep,
        {Row::Item, "SelectAllMnu", MainWindow::tr("Select &All"), "Ctrl+A", &M::SelectAllMnu_Click},
        {Row::Item, "DeselectAllMnu", MainWindow::tr("De&select All"), "Ctrl+E", &M::DeselectAllMnu_Click},
        {Row::Item, "InvSelMnu", MainWindow::tr("&Inverse Select"), "Ctrl+I", &M::InvSelMnu_Click},
        sep,
        {Row::Item, "SortAscendingMnu", MainWindow::tr("Sort As&cending"), "Ctrl+G",
         &M::SortAscendingMnu_Click},
        {Row::Item, "SortDescendingMnu", MainWindow::tr("Sort &Descending"), "Ctrl+H",
         &M::SortDescendingMnu_Click},
        sep,
        {Row::Item, "ViewMnu", MainWindow::tr("&View"), "Ctrl+V", &M::ViewMnu_Click},
        end,
        {Row::Menu, OptionMnu, MainWindow::tr("&Options")},
        {Row::Item, GeneralMnu, MainWindow::tr("&General..."), "Ctrl+K", &M::GeneralMnu_Click},
        sep,
        // Hidden groups: they exist, the restore step chooses their items, nobody sees them.
        {Row::Menu, SaveMnu, MainWindow::tr("&Save"), nullptr, nullptr, true},
        {Row::Menu, "SaveToMnu", MainWindow::tr("Save &To")},
        {Row::Item, "DefaultDirMnu", MainWindow::tr("&Default Directory...")},
        {Row::Item, "LastSavedDirMnu", MainWindow::tr("Last &Saved Directory")},
        end,
        {Row::Menu, OverwriteMnu, MainWindow::tr("&Overwrite")},
        {Row::Radio, OverwriteNoMnu, MainWindow::tr("&Don't Overwrite Saved File"), nullptr,
         &M::OverwriteNoMnu_Click},
        {Row::Radio, OverwritePromptMnu, MainWindow::tr("&Ask Before Overwrite Saved File"), nullptr,
         &M::OverwritePromptMnu_Click},
        {Row::Radio, OverwriteNoPromptMnu, MainWindow::tr("Do&n't Ask Before Overwrite Saved File"), nullptr,
         &M::OverwriteNoPromptMnu_Click},
        end,
        end,
        {Row::Menu, Spdmnu, MainWindow::tr("Transfer &Rate"), nullptr, nullptr, true},
        {Row::Radio, SlowSpeedChk, MainWindow::tr("&Slow"), nullptr, &M::SlowSpeedChk_Click},
        {Row::Radio, NormalSpeedChk, MainWindow::tr("&Normal"), nullptr, &M::NormalSpeedChk_Click},
        {Row::Radio, FastSpeedChk, MainWindow::tr("&Fast"), nullptr, &M::FastSpeedChk_Click},
        {Row::Radio, UltraSpeedChk, MainWindow::tr("&Ultra Fast"), nullptr, &M::UltraSpeedChk_Click},
        end,
        {Row::Separator, nullptr, {}, nullptr, nullptr, true},
        {Row::Menu, DelAfterActionMnu, MainWindow::tr("&Delete After Action")},
        {Row::Radio, DelNoMnu, MainWindow::tr("&Don't Delete"), nullptr, &M::DelNoMnu_Click},
        {Row::Radio, DelPromptMnu, MainWindow::tr("&Ask Before Sending To Recycle Bin"), nullptr,
         &M::DelPromptMnu_Click},
        {Row::Radio, DelNoPromptMnu, MainWindow::tr("Do&n't Ask Before Sending To Recycle Bin"), nullptr,
         &M::DelNoPromptMnu_Click},
        end,
        sep,
        {Row::Toggle, MCheckMnu, MainWindow::tr("&MPEG Compatibility"), "Ctrl+M", &M::MCheckMnu_Click},
        {Row::Toggle, SeamlessMnu, MainWindow::tr("Seamless Join"), nullptr, &M::SeamlessMnu_Click},
        {Row::Separator, nullptr, {}, nullptr, nullptr, true},
        {Row::Item, "ShowHideStatusBarMnu", MainWindow::tr("Show Status Bar"), nullptr, nullptr, true},
        end,
        {Row::Menu, "HelpMnu", MainWindow::tr("&Help")},
        {Row::Item, "HelpTopicsMnu", MainWindow::tr("Vantu Kliva &Help Topics"), "F1",
         &M::HelpTopicsMnu_Click},
        {Row::Item, "TODMnu", MainWindow::tr("Tip of the Day"), nullptr, &M::TODMnu_Click},
        sep,
        {Row::Item, "TechMnu", MainWindow::tr("Technical &Support"), nullptr, &M::TechMnu_Click},
        sep,
        {Row::Menu, "VantuOnTheWebMnu", MainWindow::tr("Websites")},
        {Row::Item, "KlivaLESiteMnu", MainWindow::tr("Vantu Kliva TARN Webpage"), nullptr,
         &M::KlivaLESiteMnu_Click},
        sep,
        {Row::Item, "KlivaSiteMnu", MainWindow::tr("Vantu Kliva Webpage"), nullptr, &M::KlivaSiteMnu_Click},
        {Row::Item, "KlivaFAQMnu", MainWindow::tr("Vantu Kliva FAQ"), nullptr, &M::KlivaFAQMnu_Click},
        sep,
        {Row::Item, "GoToSiteMnu", makerName(), nullptr, &M::GoToSiteMnu_Click},
        end,
        sep,
        {Row::Item, "AbtMnu", MainWindow::tr("&About Vantu Kliva TARN..."), nullptr, &M::AbtMnu_Click},
        end,
    };
}

std::vector<MenuRow> popupRows()
{
    const auto sep = MenuRow{Row::Separator};
    return {
        {Row::Item, "AddPackWhatSelPopupMnu", MainWindow::tr("Add..."), nullptr, &M::AddMnu_Click},
        {Row::Item, "RemovePackWhatSelPopupMnu", MainWindow::tr("Remove"), nullptr, &M::RemoveMnu_Click},
        sep,
        {Row::Item, "MoveUpPackWhatSelPopupMnu", MainWindow::tr("Move Up"), nullptr, &M::MoveUpMnu_Click},
        {Row::Item, "MoveDownPackWhatSelPopupMnu", MainWindow::tr("Move Down"), nullptr,
         &M::MoveDownMnu_Click},
        sep,
        {Row::Item, "PlayMpegMnu", MainWindow::tr("View"), nullptr, &M::ViewMnu_Click},
    };
}

// Adds the rows to `top` (the menu bar or a menu) and returns the named actions by name;
// a menu's action carries the menu's name.
QHash<QString, QAction*> addMenuRows(MainWindow* window, QWidget* top, const std::vector<MenuRow>& rows)
{
    QHash<QString, QAction*> named;
    std::vector<QWidget*> open{top};
    QActionGroup* group = nullptr;
    for (const MenuRow& r : rows) {
        QWidget* at = open.back();
        if (r.kind != Row::Radio)
            group = nullptr;
        QAction* a;
        if (r.kind == Row::End) {
            open.pop_back();
            continue;
        } else if (r.kind == Row::Menu) {
            auto* menu = new QMenu(r.text, at);
            menu->setObjectName(QLatin1String(r.name));
            open.push_back(menu);
            a = menu->menuAction();
        } else {
            a = new QAction(r.text, at);
            a->setSeparator(r.kind == Row::Separator);
            a->setCheckable(r.kind == Row::Toggle || r.kind == Row::Radio);
            if (r.kind == Row::Radio) {
                if (!group)
                    group = new QActionGroup(at);
                a->setActionGroup(group);
            }
        }
        at->addAction(a);
        a->setVisible(!r.hidden);
        if (r.shortcut)
            a->setShortcut(QKeySequence(QLatin1String(r.shortcut)));
        if (r.handler)
            QObject::connect(a, &QAction::triggered, window, r.handler);
        if (r.name) {
            a->setObjectName(QLatin1String(r.name));
            named.insert(a->objectName(), a);
        }
    }
    return named;
}

} // namespace

void MainWindow::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("klivamainfrm_MenuBar"));
    m_actions.insert(addMenuRows(this, menuBar(), menuBarRows()));
    m_fileMenu = m_actions.value(QLatin1String(objectNames::FileMnu))->menu();
    m_actionMenu = m_actions.value(QLatin1String(objectNames::ActionMnu))->menu();
}

void MainWindow::buildPopupMenu()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PackWhatSelPopupMnu"));
    m_actions.insert(addMenuRows(this, m_popup, popupRows()));
}

void MainWindow::buildToolbar()
{
    if (m_toolbar)
        return;
    m_rebar = new QWidget(m_surface);
    m_rebar->setObjectName(QStringLiteral("cReBar1"));
    m_rebar->setProperty("bandKey", QStringLiteral("Toolbar1"));
    auto* band = new QVBoxLayout(m_rebar);
    band->setContentsMargins(2, 2, 2, 2);
    m_toolbar = new QToolBar(m_rebar);
    m_toolbar->setObjectName(QStringLiteral("cToolbar1"));
    m_toolbar->setWindowTitle(tr("Toolbar")); // its accessible name
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon); // caption and image on every button
    const int imageSize = twipsToPixels(360, dpi());            // 24 px at 96 dpi
    m_toolbar->setIconSize(QSize(imageSize, imageSize));
    band->addWidget(m_toolbar);

    const auto& entries = toolbarEntries();
    for (int pos = 0; pos < entries.size(); ++pos) {
        const ToolbarEntry& e = entries[pos];
        QAction* a;
        if (e.separator) {
            a = m_toolbar->addSeparator();
            a->setObjectName(QStringLiteral("cToolbar1_Separator%1").arg(pos));
        } else {
            a = m_toolbar->addAction(e.caption);
            a->setObjectName(QStringLiteral("cToolbar1_") + e.key);
            a->setProperty("key", e.key);
            a->setToolTip(e.tooltip);
            a->setIcon(toolbarImage(m_startup.isWindowsXP ? e.imageXP : e.imageOther, imageSize,
                                    devicePixelRatioF()));
            connect(a, &QAction::triggered, this, [this, pos] { cToolbar1_ButtonClick(pos); });
        }
        a->setProperty("position", pos);
        m_toolbarActions << a;
        if (QWidget* w = m_toolbar->widgetForAction(a)) {
            m_toolbarPositions.insert(w, pos);
            w->installEventFilter(this);
        }
    }
    m_rebar->show();
    applyCommandStates();
}

} // namespace kt
