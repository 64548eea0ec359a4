#include "MainWindow.h"

#include "app/ToolbarTable.h"
#include "app/ui/Artwork.h"
#include "app/ui/ObjectNames.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "base/File64.h"
#include "base/TextUtils.h"
#include "packlist/ui/AddFilesCommand.h"
#include "packlist/ui/PackListDropTarget.h"
#include "packlist/ui/PackListView.h"
#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "platform/Shell.h"
#include "settings/OptionState.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace kt {

using namespace layout;

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_startup(startupValues())
{
    setObjectName(QStringLiteral("klivamainfrm"));
    setWindowTitle(QStringLiteral("Vantu Kliva TARN v1.00")); // until the load sets the real one
    m_options = new OptionState(this);
    connect(m_options, &OptionState::changed, this, &MainWindow::updateOptionChecks);
    buildSurface();
    buildMenus();
    buildPopupMenu();
    buildStatusBar();
    buildLogos();
    updateOptionChecks();
}

MainWindow::~MainWindow()
{
    // The view reads the rows until it is gone: delete it while the list still exists
    // (children would otherwise go after this object's members).
    delete m_view;
    m_view = nullptr;
}

int MainWindow::dpi() const
{
    return qMax(1, logicalDpiX());
}

void MainWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    // 1-2: icons come from the application; size = design size + corrections.
    setWindowIcon(QApplication::windowIcon());
    applyLoadSize();
    // 3-4: the toolbar, with the image set of this system.
    buildToolbar();
    // 5: on XP the 16 x 16 logos come from the icon files beside the program. Should a
    // file fail to load (the loader has said why), the built-in picture stays and the
    // load goes on: the rest of the program needs what the later steps set up.
    if (m_startup.isWindowsXP) {
        const QColor bg = palette().color(QPalette::Window);
        const QPixmap busy = loadIconFilePicture(m_startup.programDir + QStringLiteral("/Busy.ir"), bg);
        if (!busy.isNull())
            m_busyImg->setPixmap(busy);
        const QPixmap idle = loadIconFilePicture(m_startup.programDir + QStringLiteral("/Idle.ir"), bg);
        if (!idle.isNull())
            m_notBusyImg->setPixmap(idle);
    }
    // 6-7
    setWindowTitle(mainWindowTitle());
    // 8: options from the store, in order; this writes all four values back.
    m_options->restore();
    // 10: the Tip of the Day unless switched off ("0" only). It opens once this window
    // is on screen, so that it can stand centred over it and take the focus.
    m_tipAtShow =
        ReadRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod")) != QLatin1String("0");
    // 11-12: the header is flat already; widen the first column.
    PackListSetMaxWidth();
    // 13
    m_file64 = std::make_unique<File64>();
    // Files come in through the Add dialog and by drops on the list, each row's cells
    // read with the window's File64.
    addHandler = [this] {
        AddFilesCommand(*m_view, mpegInfoSource(*m_file64), [this] { RefreshPackListCommands(); });
    };
    new PackListDropTarget(m_view, mpegInfoSource(*m_file64), [this] { RefreshPackListCommands(); });
    // 14-16
    UnhideLogo();
    RefreshPackListCommands();
    unsetCursor();
    // The status bar has its contents now, so its height is final: size again.
    applyLoadSize();
}

void MainWindow::applyLoadSize()
{
    QSize surface = surfaceFromOuter(loadSize(m_startup.metrics), dpi(), m_startup.metrics);
    // Wider where the toolbar's captions need it (longer words in some languages): a
    // button beyond the edge would hide in the toolbar's overflow menu.
    // The move buttons, just beyond the design width, then come into view whole, not cut.
    if (m_rebar && m_rebar->sizeHint().width() > surface.width())
        surface.setWidth(qMax(m_rebar->sizeHint().width(),
                              twipsToPixels(kMoveButtonLeft + kMoveButtonWidth + kListLeft, dpi())));
    // Let the window's own layout place the menu bar and status bar, then grow or
    // shrink the window by what the surface still lacks.
    resize(surface.width(),
           surface.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    for (int attempt = 0; attempt < 3; ++attempt) {
        layout()->activate();
        const QSize lack = surface - m_surface->size();
        if (lack.isNull())
            break;
        resize(size() + lack);
    }
    applyPlacement();
}

// ---------------------------------------------------------------- status bar and modes

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto panel = [bar](const char* name, int stretch) {
        auto* l = new QLabel(bar);
        l->setObjectName(QLatin1String(name));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(0);
        bar->addWidget(l, stretch);
        return l;
    };
    m_panel1 = panel("StatusBar_Panel1", 1);
    m_panel1->setAccessibleName(tr("Status"));
    m_panel1->setSizePolicy(QSizePolicy::Ignored,
                            QSizePolicy::Preferred); // long paths must not widen the window
    m_panel2 = panel("StatusBar_Panel2", 0);
    m_panel2->setAlignment(Qt::AlignCenter);
    m_panel2->setAccessibleName(tr("Program state"));
    m_panel3 = panel("StatusBar_Panel3", 0);
    m_panel3->setAlignment(Qt::AlignCenter);
    m_panel3->setAccessibleName(tr("Program state picture"));
}

void MainWindow::buildLogos()
{
    // Hidden pictures that hold the logos; panel 3 shows a copy of one of them.
    auto picture = [this](const char* name, bool busy, int size) {
        auto* l = new QLabel(m_surface);
        l->setObjectName(QLatin1String(name));
        l->setPixmap(statusLogo(busy, size, devicePixelRatioF()));
        l->hide();
        return l;
    };
    m_busyImg = picture("BusyIconImg", true, 16);
    m_notBusyImg = picture("NotBusyIconImg", false, 16);
    m_busyImg16 = picture("BusyIconImg16", true, 20);
    m_notBusyImg16 = picture("NotBusyIconImg16", false, 20);
}

QPixmap MainWindow::logoFor(bool busy) const
{
    const QLabel* source =
        m_startup.normalDpi ? (busy ? m_busyImg : m_notBusyImg) : (busy ? m_busyImg16 : m_notBusyImg16);
    return source->pixmap();
}

void MainWindow::setStatusText(const QString& text)
{
    m_panel1->setText(text);
    m_panel1->repaint();
}

void MainWindow::showFileInStatus(const QString& fullPath,
                                  const std::function<QString(const QString&)>& wording)
{
    // The room the panel gives its text: inside the frame, the margins and the indent a
    // framed label keeps (half an "x").
    const QFontMetrics metrics(m_panel1->font());
    int indent = m_panel1->indent();
    if (indent < 0 && m_panel1->frameWidth() > 0)
        indent = metrics.horizontalAdvance(QLatin1Char('x')) / 2 - m_panel1->margin();
    const int roomPixels = m_panel1->contentsRect().width() - 2 * m_panel1->margin() - qMax(indent, 0);
    const auto twips = [&](const QString& text) {
        return layout::pixelsToTwips(metrics.horizontalAdvance(text), dpi());
    };
    // Twips are rounded: a pixel less, so that a rounded width never passes the edge.
    const int room = layout::pixelsToTwips(roomPixels - 1, dpi()) - twips(wording(QString()));
    QString shortened;
    FormatDir(fullPath, shortened, room, twips);
    setStatusText(wording(shortened));
}

QString MainWindow::statusText() const
{
    return m_panel1->text();
}

QString MainWindow::panelText(int panel) const
{
    switch (panel) {
    case 1:
        return m_panel1->text();
    case 2:
        return m_panel2->text();
    case 3:
        return m_panel3->text();
    }
    return {};
}

void MainWindow::HideLogo()
{
    m_panel2->setText(tr("BUSY"));
    m_panel3->setPixmap(logoFor(true));
    m_panel3->setProperty("logo", QStringLiteral("busy"));
}

void MainWindow::UnhideLogo()
{
    setStatusText(idleStatusText());
    m_panel2->setText(tr("IDLE"));
    m_panel3->setPixmap(logoFor(false));
    m_panel3->setProperty("logo", QStringLiteral("idle"));
}

void MainWindow::BusyMode(const QString& operation)
{
    if (operation == QLatin1String("pack") || operation == QLatin1String("unpack"))
        m_operation = operation;
    m_busy = true;
    applyCommandStates();
}

void MainWindow::NotBusyMode()
{
    m_busy = false;
    applyCommandStates();
}

void MainWindow::ErrorResumeProgram()
{
    UnhideLogo();
    unsetCursor();
    // The tip and icon readers keep no file open between calls, so there is nothing
    // else to close here; File64 handles are closed by their owners.
    NotBusyMode();
}

void MainWindow::ShowInShell(const QString& path)
{
    switch (shell().open(path)) {
    case ShellOpenResult::NotFound:
        MsgBox(tr("'%1' was not found!").arg(path), MB_ICONHAND, programTitle());
        break;
    case ShellOpenResult::Failed: // nothing visible would happen otherwise
        MsgBox(noProgramToOpenText(path), MB_ICONEXCLAMATION, programTitle());
        break;
    case ShellOpenResult::Opened:
        break;
    }
}

// ---------------------------------------------------------------- command states

void MainWindow::RefreshPackListCommands()
{
    m_listStates = commandStatesFor(m_list.count(), m_list.selectedCount());
    applyCommandStates();
}

void MainWindow::applyCommandStates()
{
    const PackListCommandStates& s = m_listStates;
    const bool idle = !m_busy;
    // Busy mode closes the File and Actions menus, shortcuts included.
    m_fileMenu->menuAction()->setEnabled(idle);
    m_actionMenu->menuAction()->setEnabled(idle);
    auto set = [this](const char* name, bool on) {
        if (QAction* a = m_actions.value(QLatin1String(name)))
            a->setEnabled(on);
    };
    set("AddMnu", idle);
    set("ExitMnu", idle);
    set("RemoveMnu", idle && s.remove);
    set("PackMnu", idle && s.packAndSort);
    set("SortAscendingMnu", idle && s.packAndSort);
    set("SortDescendingMnu", idle && s.packAndSort);
    set("SelectAllMnu", idle && s.selection);
    set("DeselectAllMnu", idle && s.selection);
    set("InvSelMnu", idle && s.selection);
    set("MoveUpMnu", idle && s.move);
    set("MoveDownMnu", idle && s.move);
    set("ViewMnu", idle && s.view);
    set("RemovePackWhatSelPopupMnu", s.remove);
    set("MoveUpPackWhatSelPopupMnu", s.move);
    set("MoveDownPackWhatSelPopupMnu", s.move);
    set("PlayMpegMnu", s.view);
    m_sortAsc->setEnabled(s.packAndSort);
    m_sortDes->setEnabled(s.packAndSort);
    m_selectAll->setEnabled(s.selection);
    m_deselectAll->setEnabled(s.selection);
    m_invSel->setEnabled(s.selection);
    // Toolbar buttons by key; busy mode leaves the toolbar alone.
    for (QAction* a : std::as_const(m_toolbarActions)) {
        const QString key = a->property("key").toString();
        if (key == QLatin1String("Remove"))
            a->setEnabled(s.remove);
        else if (key == QLatin1String("Up") || key == QLatin1String("Down"))
            a->setEnabled(s.move);
        else if (key == QLatin1String("Pack"))
            a->setEnabled(s.packAndSort);
    }
}

void MainWindow::updateOptionChecks()
{
    const OptionState& o = *m_options;
    auto check = [this](const char* name, bool on) {
        if (QAction* a = m_actions.value(QLatin1String(name)))
            a->setChecked(on);
    };
    check(objectNames::SlowSpeedChk, o.transferRate() == TransferRate::Slow);
    check(objectNames::NormalSpeedChk, o.transferRate() == TransferRate::Normal);
    check(objectNames::FastSpeedChk, o.transferRate() == TransferRate::Fast);
    check(objectNames::UltraSpeedChk, o.transferRate() == TransferRate::UltraFast);
    check(objectNames::DelNoMnu, o.deleteAfterAction() == DeleteAfterAction::No);
    check(objectNames::DelPromptMnu, o.deleteAfterAction() == DeleteAfterAction::Prompt);
    check(objectNames::DelNoPromptMnu, o.deleteAfterAction() == DeleteAfterAction::NoPrompt);
    check(objectNames::OverwriteNoMnu, o.overwritePolicy() == OverwritePolicy::No);
    check(objectNames::OverwritePromptMnu, o.overwritePolicy() == OverwritePolicy::Prompt);
    check(objectNames::OverwriteNoPromptMnu, o.overwritePolicy() == OverwritePolicy::NoPrompt);
    check(objectNames::MCheckMnu, o.mpegCheck());
    check(objectNames::SeamlessMnu, o.seamless());
}

QAction* MainWindow::action(const QString& objectName) const
{
    return m_actions.value(objectName);
}

// ---------------------------------------------------------------- layout

void MainWindow::PackListSetMaxWidth()
{
    m_view->PackListSetMaxWidth(m_startup.metrics.widthAdjust);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyPlacement();
}

void MainWindow::applyPlacement()
{
    const int d = dpi();
    auto px = [d](int twips) { return twipsToPixels(twips, d); };
    // The band first, across the whole width.
    if (m_rebar)
        m_rebar->setGeometry(0, 0, m_surface->width(), m_rebar->sizeHint().height());
    const QSize outer = outerFromSurface(m_surface->size(), d, m_startup.metrics);
    m_placement = place(outer.width(), outer.height(), m_startup.metrics, m_placement);
    const Placement& p = m_placement;
    // The caption keeps its design box unless this system's font needs more room.
    const QSize caption = m_packLabel->sizeHint();
    m_packLabel->setGeometry(
        px(kLabelLeft), px(kLabelTop) + px(kLabelHeight) - qMax(px(kLabelHeight), caption.height()),
        qMax(px(kLabelWidth), caption.width()), qMax(px(kLabelHeight), caption.height()));
    m_view->setGeometry(px(kListLeft), px(kListTop), px(p.listWidth), px(p.listHeight));
    const int top = px(p.buttonTop);
    const int h = px(kButtonHeight);
    m_sortAsc->setGeometry(px(p.sortAscLeft), top, px(kSortButtonWidth), h);
    m_sortDes->setGeometry(px(p.sortDesLeft), top, px(kSortButtonWidth), h);
    m_selectAll->setGeometry(px(p.selectAllLeft), top, px(kSmallButtonWidth), h);
    m_deselectAll->setGeometry(px(p.deselectAllLeft), top, px(kSmallButtonWidth), h);
    m_invSel->setGeometry(px(p.invSelLeft), top, px(kSmallButtonWidth), h);
    m_moveUp->setGeometry(px(kMoveButtonLeft), px(kMoveUpTop), px(kMoveButtonWidth), px(kMoveButtonHeight));
    m_moveDown->setGeometry(px(kMoveButtonLeft), px(kMoveDownTop), px(kMoveButtonWidth),
                            px(kMoveButtonHeight));
    // At the design width the move buttons lie beyond the right edge: out of sight they
    // must not take the keyboard focus, or Tab would vanish into them.
    for (QPushButton* b : {m_moveUp, m_moveDown}) {
        const bool onScreen = m_surface->rect().intersects(b->geometry());
        b->setFocusPolicy(onScreen ? Qt::TabFocus : Qt::NoFocus);
        if (!onScreen && b->hasFocus())
            m_view->setFocus(Qt::TabFocusReason);
    }
    m_panel1->setMaximumWidth(px(p.panel1Width));
    // The design width, or what the state words of this language need.
    const QFontMetrics metrics = m_panel2->fontMetrics();
    const int words = qMax(metrics.horizontalAdvance(tr("BUSY")), metrics.horizontalAdvance(tr("IDLE"))) +
                      2 * m_panel2->frameWidth() + metrics.horizontalAdvance(QLatin1Char(' '));
    m_panel2->setFixedWidth(qMax(px(kPanel2Width), words));
    m_panel3->setFixedWidth(px(kPanel3Width));
    m_view->fillWithLastColumn();
}

// ---------------------------------------------------------------- events

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        if (m_tipAtShow) {
            m_tipAtShow = false;
            QTimer::singleShot(0, this, [this] { openTipOfTheDay(this); });
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched == m_surface && event->type() == QEvent::MouseMove) {
        // Over the window's own surface, not over one of its controls.
        const auto* me = static_cast<QMouseEvent*>(event);
        if (!m_surface->childAt(me->position().toPoint()))
            setStatusText(idleStatusText());
    } else if (m_toolbarPositions.contains(watched)) {
        if (event->type() == QEvent::Enter)
            cToolbar1_HotItemChange(m_toolbarPositions.value(watched));
        else if (event->type() == QEvent::Leave)
            cToolbar1_HotItemChange(-1);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Styles settle the menu and status bar heights only when the window is first
    // shown: correct the size once more so the surface has its design height.
    if (!m_shownOnce) {
        m_shownOnce = true;
        applyLoadSize();
        // The window manager places the window before it is exposed: wait for that.
        if (m_tipAtShow && windowHandle())
            windowHandle()->installEventFilter(this);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Nothing to save: options were stored when chosen, the list is never kept.
    event->accept();
    hide();
    emit unloaded();
}

} // namespace kt
