// The main window's controls: surface, menu bar, pop-up menu and toolbar.
#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/ObjectNames.h"
#include "app/ToolbarTable.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "packlist/ui/ListButtonHints.h"
#include "packlist/ui/PackListView.h"

#include <QAction>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace kt {

using namespace layout;

QPushButton* MainWindow::listButton(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, m_surface);
    b->setObjectName(QLatin1String(name));
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

    m_packLabel = new QLabel(QStringLiteral("Pack List:"), m_surface);
    m_packLabel->setObjectName(QStringLiteral("packwhat_lbl"));

    m_view = new PackListView(m_list, m_surface);
    connect(m_view, &PackListView::listClicked, this, &MainWindow::PackList_ListView_Click);
    connect(m_view, &PackListView::listKeyDown, this, &MainWindow::PackList_ListView_KeyDown);
    connect(m_view, &PackListView::listRightButtonDown, this, &MainWindow::PackList_ListView_RightButton);
    connect(m_view, &PackListView::listMenuKeyDown, this, &MainWindow::PackList_ListView_RightButton);
    connect(m_view, &PackListView::listDoubleClicked, this, &MainWindow::PackList_ListView_DblClick);
    m_view->setColumnWidth(0, twipsToPixels(3600, dpi()));
    m_view->setColumnWidth(1, twipsToPixels(1300, dpi()));

    m_sortAsc = listButton("packlst_SortAsc_cmd", QStringLiteral("ascending"));
    m_sortDes = listButton("packlst_SortDes_cmd", QStringLiteral("descending"));
    m_selectAll = listButton("packlst_SelectAll_cmd", QStringLiteral("a"));
    m_deselectAll = listButton("packlst_DeselectAll_cmd", QStringLiteral("d"));
    m_invSel = listButton("packlst_InvSel_cmd", QStringLiteral("i"));
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
        b->setToolTip(up ? QStringLiteral("Move selected file(s) up")
                         : QStringLiteral("Move selected file(s) down"));
        return b;
    };
    m_moveUp = moveButton("selposup_cmd", true);
    m_moveDown = moveButton("selposdown_cmd", false);
    connect(m_moveUp, &QPushButton::clicked, this, &MainWindow::selposup_cmd_Click);
    connect(m_moveDown, &QPushButton::clicked, this, &MainWindow::selposdown_cmd_Click);

    // Working controls, never shown.
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

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut,
                             void (MainWindow::*handler)())
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(QKeySequence(shortcut));
    if (handler)
        connect(a, &QAction::triggered, this, handler);
    m_actions.insert(a->objectName(), a);
    return a;
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("klivamainfrm_MenuBar"));
    auto topMenu = [this, bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m_actions.insert(m->objectName(), m->menuAction());
        return m;
    };
    auto subMenu = [this](QMenu* parent, const char* name, const QString& caption) {
        QMenu* m = parent->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m_actions.insert(m->objectName(), m->menuAction());
        return m;
    };
    auto checkable = [](QAction* a, bool on) {
        a->setCheckable(true);
        a->setChecked(on);
        return a;
    };

    m_fileMenu = topMenu(objectNames::FileMnu, QStringLiteral("&File"));
    addItem(m_fileMenu, "AddMnu", QStringLiteral("&Add..."), QStringLiteral("Ctrl+D"),
            &MainWindow::AddMnu_Click);
    addItem(m_fileMenu, "RemoveMnu", QStringLiteral("&Remove"), QStringLiteral("Del"),
            &MainWindow::RemoveMnu_Click);
    m_fileMenu->addSeparator();
    addItem(m_fileMenu, "ExitMnu", QStringLiteral("E&xit"), QStringLiteral("Ctrl+Q"),
            &MainWindow::ExitMnu_Click);

    m_actionMenu = topMenu(objectNames::ActionMnu, QStringLiteral("&Actions"));
    addItem(m_actionMenu, objectNames::PackMnu, QStringLiteral("&Pack"), QStringLiteral("Ctrl+P"),
            &MainWindow::PackMnu_Click);
    m_actionMenu->addSeparator();
    addItem(m_actionMenu, "MoveUpMnu", QStringLiteral("Move &Up"), QStringLiteral("Ctrl+U"),
            &MainWindow::MoveUpMnu_Click);
    addItem(m_actionMenu, "MoveDownMnu", QStringLiteral("Move Dow&n"), QStringLiteral("Ctrl+N"),
            &MainWindow::MoveDownMnu_Click);
    m_actionMenu->addSeparator();
    addItem(m_actionMenu, "SelectAllMnu", QStringLiteral("Select &All"), QStringLiteral("Ctrl+A"),
            &MainWindow::SelectAllMnu_Click);
    addItem(m_actionMenu, "DeselectAllMnu", QStringLiteral("De&select All"), QStringLiteral("Ctrl+E"),
            &MainWindow::DeselectAllMnu_Click);
    addItem(m_actionMenu, "InvSelMnu", QStringLiteral("&Inverse Select"), QStringLiteral("Ctrl+I"),
            &MainWindow::InvSelMnu_Click);
    m_actionMenu->addSeparator();
    addItem(m_actionMenu, "SortAscendingMnu", QStringLiteral("Sort As&cending"), QStringLiteral("Ctrl+G"),
            &MainWindow::SortAscendingMnu_Click);
    addItem(m_actionMenu, "SortDescendingMnu", QStringLiteral("Sort &Descending"), QStringLiteral("Ctrl+H"),
            &MainWindow::SortDescendingMnu_Click);
    m_actionMenu->addSeparator();
    addItem(m_actionMenu, "ViewMnu", QStringLiteral("&View"), QStringLiteral("Ctrl+V"),
            &MainWindow::ViewMnu_Click);

    QMenu* options = topMenu(objectNames::OptionMnu, QStringLiteral("&Options"));
    addItem(options, objectNames::GeneralMnu, QStringLiteral("&General..."), QStringLiteral("Ctrl+K"),
            &MainWindow::GeneralMnu_Click);
    options->addSeparator();
    // Hidden groups: they exist, the restore step chooses their items, nobody sees them.
    QMenu* save = subMenu(options, objectNames::SaveMnu, QStringLiteral("&Save"));
    save->menuAction()->setVisible(false);
    QMenu* saveTo = subMenu(save, "SaveToMnu", QStringLiteral("Save &To"));
    addItem(saveTo, "DefaultDirMnu", QStringLiteral("&Default Directory..."), {}, nullptr);
    addItem(saveTo, "LastSavedDirMnu", QStringLiteral("Last &Saved Directory"), {}, nullptr);
    QMenu* overwrite = subMenu(save, objectNames::OverwriteMnu, QStringLiteral("&Overwrite"));
    checkable(addItem(overwrite, objectNames::OverwriteNoMnu, QStringLiteral("&Don't Overwrite Saved File"),
                      {}, &MainWindow::OverwriteNoMnu_Click),
              false);
    checkable(addItem(overwrite, objectNames::OverwritePromptMnu,
                      QStringLiteral("&Ask Before Overwrite Saved File"), {},
                      &MainWindow::OverwritePromptMnu_Click),
              false);
    checkable(addItem(overwrite, objectNames::OverwriteNoPromptMnu,
                      QStringLiteral("Do&n't Ask Before Overwrite Saved File"), {},
                      &MainWindow::OverwriteNoPromptMnu_Click),
              false);
    QMenu* speed = subMenu(options, objectNames::Spdmnu, QStringLiteral("Transfer &Rate"));
    speed->menuAction()->setVisible(false);
    checkable(addItem(speed, objectNames::SlowSpeedChk, QStringLiteral("&Slow"), {},
                      &MainWindow::SlowSpeedChk_Click),
              false);
    checkable(addItem(speed, objectNames::NormalSpeedChk, QStringLiteral("&Normal"), {},
                      &MainWindow::NormalSpeedChk_Click),
              true);
    checkable(addItem(speed, objectNames::FastSpeedChk, QStringLiteral("&Fast"), {},
                      &MainWindow::FastSpeedChk_Click),
              false);
    checkable(addItem(speed, objectNames::UltraSpeedChk, QStringLiteral("&Ultra Fast"), {},
                      &MainWindow::UltraSpeedChk_Click),
              false);
    options->addSeparator()->setVisible(false);
    QMenu* del = subMenu(options, objectNames::DelAfterActionMnu, QStringLiteral("&Delete After Action"));
    checkable(
        addItem(del, objectNames::DelNoMnu, QStringLiteral("&Don't Delete"), {}, &MainWindow::DelNoMnu_Click),
        true);
    checkable(addItem(del, objectNames::DelPromptMnu, QStringLiteral("&Ask Before Sending To Recycle Bin"),
                      {}, &MainWindow::DelPromptMnu_Click),
              false);
    checkable(addItem(del, objectNames::DelNoPromptMnu,
                      QStringLiteral("Do&n't Ask Before Sending To Recycle Bin"), {},
                      &MainWindow::DelNoPromptMnu_Click),
              false);
    options->addSeparator();
    checkable(addItem(options, objectNames::MCheckMnu, QStringLiteral("&MPEG Compatibility"),
                      QStringLiteral("Ctrl+M"), &MainWindow::MCheckMnu_Click),
              true);
    options->addSeparator()->setVisible(false);
    addItem(options, "ShowHideStatusBarMnu", QStringLiteral("Show Status Bar"), {}, nullptr)
        ->setVisible(false);

    QMenu* help = topMenu("HelpMnu", QStringLiteral("&Help"));
    addItem(help, "HelpTopicsMnu", QStringLiteral("Vantu Kliva &Help Topics"), QStringLiteral("F1"),
            &MainWindow::HelpTopicsMnu_Click);
    addItem(help, "TODMnu", QStringLiteral("Tip of the Day"), {}, &MainWindow::TODMnu_Click);
    help->addSeparator();
    addItem(help, "TechMnu", QStringLiteral("Technical &Support"), {}, &MainWindow::TechMnu_Click);
    help->addSeparator();
    QMenu* web = subMenu(help, "VantuOnTheWebMnu", QStringLiteral("Websites"));
    addItem(web, "KlivaLESiteMnu", QStringLiteral("Vantu Kliva TARN Webpage"), {},
            &MainWindow::KlivaLESiteMnu_Click);
    web->addSeparator();
    addItem(web, "KlivaSiteMnu", QStringLiteral("Vantu Kliva Webpage"), {}, &MainWindow::KlivaSiteMnu_Click);
    addItem(web, "KlivaFAQMnu", QStringLiteral("Vantu Kliva FAQ"), {}, &MainWindow::KlivaFAQMnu_Click);
    web->addSeparator();
    addItem(web, "GoToSiteMnu", makerName(), {}, &MainWindow::GoToSiteMnu_Click);
    help->addSeparator();
    addItem(help, "AbtMnu", QStringLiteral("&About Vantu Kliva TARN..."), {}, &MainWindow::AbtMnu_Click);
}

void MainWindow::buildPopupMenu()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PackWhatSelPopupMnu"));
    addItem(m_popup, "AddPackWhatSelPopupMnu", QStringLiteral("Add..."), {}, &MainWindow::AddMnu_Click);
    addItem(m_popup, "RemovePackWhatSelPopupMnu", QStringLiteral("Remove"), {}, &MainWindow::RemoveMnu_Click);
    m_popup->addSeparator();
    addItem(m_popup, "MoveUpPackWhatSelPopupMnu", QStringLiteral("Move Up"), {},
            &MainWindow::MoveUpMnu_Click);
    addItem(m_popup, "MoveDownPackWhatSelPopupMnu", QStringLiteral("Move Down"), {},
            &MainWindow::MoveDownMnu_Click);
    m_popup->addSeparator();
    addItem(m_popup, "PlayMpegMnu", QStringLiteral("View"), {}, &MainWindow::ViewMnu_Click);
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
