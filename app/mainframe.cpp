#include "app/mainframe.h"

#include "app/editcommands.h"
#include "app/editmenus.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "layers/layermixer.h"
#include "platform/printing.h"
#include "platform/window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QWindow>

#include <algorithm>

namespace {

struct KeyEntry {
    QKeySequence keys;
    int command;
};

// The keyboard table; plain letters as well as their Ctrl forms.
std::vector<KeyEntry> KeyboardTable() {
    return {
        {QKeySequence(Qt::Key_A), ID_ABOUT_KEY},
        {QKeySequence(Qt::Key_B), ID_TO_BACK},
        {QKeySequence(Qt::Key_E), ID_EDIT_TEXT},
        {QKeySequence(Qt::Key_F), ID_TO_FRONT},
        {QKeySequence(Qt::Key_H), ID_HELP_INDEX},
        {QKeySequence(Qt::Key_N), ID_NEW_DESIGN},
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_NEW_DESIGN},
        {QKeySequence(Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::Key_Q), ID_QUIT_KEY},
        {QKeySequence(Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::Key_T), ID_ADD_TEXT},
        {QKeySequence(Qt::Key_W), ID_WIZARD},
        {QKeySequence(Qt::Key_Delete), ID_DELETE_LAYER},
        {QKeySequence(Qt::Key_Up), ID_LAYER_UP},
        {QKeySequence(Qt::Key_Down), ID_LAYER_DOWN},
        {QKeySequence(Qt::Key_Left), ID_PREVIOUS_ITEM},
        {QKeySequence(Qt::Key_Right), ID_NEXT_ITEM},
        {QKeySequence(Qt::Key_Tab), ID_NEXT_ITEM},
        {QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), ID_SLIDER_UP},
        {QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), ID_SLIDER_DOWN},
        {QKeySequence(Qt::Key_F1), ID_HELP_INDEX},
        // Editing: undo and redo, the clipboard, a copy of the layer, and
        // nudges by a page pixel (with Ctrl by ten).
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), ID_EDIT_REDO},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), ID_EDIT_REDO},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::CTRL | Qt::Key_D), ID_LAYER_DUPLICATE},
        {QKeySequence(Qt::SHIFT | Qt::Key_Left), ID_LAYER_NUDGE_LEFT},
        {QKeySequence(Qt::SHIFT | Qt::Key_Right), ID_LAYER_NUDGE_RIGHT},
        {QKeySequence(Qt::SHIFT | Qt::Key_Up), ID_LAYER_NUDGE_UP},
        {QKeySequence(Qt::SHIFT | Qt::Key_Down), ID_LAYER_NUDGE_DOWN},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), ID_LAYER_NUDGE_LEFT_FAR},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), ID_LAYER_NUDGE_RIGHT_FAR},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), ID_LAYER_NUDGE_UP_FAR},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), ID_LAYER_NUDGE_DOWN_FAR},
    };
}

constexpr const char* kCommandProperty = "morvaneCommand";

} // namespace

CMainFrame::CMainFrame(CMorvaneView* view, CMorvaneDoc* document)
    : QMainWindow(nullptr), m_pView(view), m_pDocument(document) {
    // No system menu and no close box: the program is left by its quit
    // button, the menu or Q, which ask first.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint);
    setCentralWidget(view);
    BuildMenu();
    BuildKeyboardTable();
    if (m_pDocument)
        m_pDocument->SetTitleListener([this](const std::string& caption) {
            setWindowTitle(QString::fromStdString(caption));
        });
}

CRect CMainFrame::FrameRect(CSize screen, int width, int height, int fullScreen) {
    CRect rect(0, 0, screen.cx, screen.cy);
    if (fullScreen)
        return rect;
    if (screen.cx >= width) {
        rect.left = (screen.cx - width) >> 1;
        rect.right = rect.left + width;
    }
    if (screen.cy >= height) {
        rect.top = (screen.cy - height) >> 1;
        rect.bottom = rect.top + height;
    }
    return rect;
}

QAction* CMainFrame::AddCommandAction(const QString& text, int command) {
    auto* action = new QAction(text, this);
    action->setProperty(kCommandProperty, command);
    connect(action, &QAction::triggered, this, [this, command]() { OnCommand(command); });
    return action;
}

void CMainFrame::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(AddCommandAction(QStringLiteral("&New...\tCtrl+N"), ID_NEW_DESIGN));
    file->addAction(AddCommandAction(QStringLiteral("&Open...\tCtrl+O"), ID_FILE_OPEN));
    file->addAction(AddCommandAction(QStringLiteral("&Save\tCtrl+S"), ID_FILE_SAVE));
    file->addSeparator();
    file->addAction(AddCommandAction(QStringLiteral("&Print...\tCtrl+P"), ID_FILE_PRINT));
    file->addAction(AddCommandAction(QStringLiteral("Print Pre&view"), ID_FILE_PRINT_PREVIEW));
    file->addAction(AddCommandAction(QStringLiteral("P&rint Setup..."), ID_FILE_PRINT_SETUP));
    file->addSeparator();
    file->addAction(AddCommandAction(QStringLiteral("E&xit"), ID_APP_EXIT));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(AddCommandAction(QStringLiteral("Help"), ID_HELP_INDEX));
    help->addAction(AddCommandAction(QStringLiteral("&About..."), ID_APP_ABOUT));
    AddEditingMenus(this, file);
}

// The keys live on the frame, not in the menu, so a key and its menu item
// never compete for one shortcut. They act only while the frame is the
// active window: a popup's text field keeps its letters.
void CMainFrame::BuildKeyboardTable() {
    for (const KeyEntry& entry : KeyboardTable()) {
        // NOTE: the window system's shortcut matching leaves the keypad
        // modifier out of the keys it tries, so a keypad shortcut never
        // fires from a real keyboard. The frame reads those keys from the
        // key press itself (eventFilter).
        if (entry.keys[0].keyboardModifiers() & Qt::KeypadModifier) {
            m_keypadKeys.push_back({entry.keys[0], entry.command});
            continue;
        }
        QAction* action = AddCommandAction(entry.keys.toString(), entry.command);
        action->setShortcut(entry.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    if (!m_keypadKeys.empty())
        qApp->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isActiveWindow())
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    for (const KeypadKey& entry : m_keypadKeys)
        if (key->keyCombination() == entry.keys) {
            OnCommand(entry.command);
            return true;
        }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnCommand(int command) {
    if (!m_pView)
        return;
    switch (command) {
    case ID_FILE_OPEN:
        m_pView->DispatchSelect(ID_LOAD);
        break;
    case ID_FILE_SAVE:
        if (m_pDocument)
            m_pDocument->DoFileSave();
        break;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
        m_pView->OnFilePrint();
        break;
    case ID_FILE_PRINT_PREVIEW:
        m_pView->OnFilePrintPreview();
        break;
    case ID_FILE_PRINT_SETUP:
        platform::DoPrintSetup(this);
        break;
    case ID_APP_EXIT:
    case ID_QUIT_KEY:
        m_pView->DispatchSelect(ID_QUIT_BUTTON);
        break;
    case ID_HELP_INDEX:
        m_pView->OnNotify_Select(ID_HELP_INDEX, 0);
        break;
    case ID_APP_ABOUT:
    case ID_ABOUT_KEY:
        m_pView->ShowSplash(1);
        break;
    default:
        m_pView->DispatchSelect(command);
        break;
    }
}

// A close from the window system (Alt+F4, the session ending) asks the quit
// question like the quit button; the quit itself closes the window for good.
void CMainFrame::closeEvent(QCloseEvent* event) {
    if (platform::IsBeingDestroyed(this) || !m_pView) {
        event->accept();
        return;
    }
    m_pView->DispatchSelect(ID_QUIT_BUTTON);
    if (platform::IsBeingDestroyed(this))
        event->accept();
    else
        event->ignore();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::PaletteChange)
        update();
}

void CMainFrame::PlaceBySettings() {
    const CAppSettings& settings = AppSettings();
    m_rcWhole = FrameRect(platform::ScreenSize(), settings.GetWindowWidth(),
                          settings.GetWindowHeight(), settings.GetFullScreen());
    m_bPlacing = true;
    PlaceWholeWindow();
}

// The window's size is its inside: the frame the window system adds is
// taken off it, so the whole window keeps to the rectangle and the screen.
void CMainFrame::PlaceWholeWindow() {
    const QWindow* handle = windowHandle();
    m_frameApplied = handle ? handle->frameMargins() : QMargins();
    const int width = m_rcWhole.Width() - m_frameApplied.left() - m_frameApplied.right();
    const int height = m_rcWhole.Height() - m_frameApplied.top() - m_frameApplied.bottom();
    resize(std::max(width, 1), std::max(height, 1));
    // A top-level window's position is that of its frame.
    move(m_rcWhole.left, m_rcWhole.top);
}

bool CMainFrame::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // The frame is known once the window is shown and framed; it is
    // allowed for once, so the user's own moves and sizes stay.
    const QEvent::Type type = event->type();
    if (m_bPlacing && windowHandle() &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)) {
        const QMargins frame = windowHandle()->frameMargins();
        if (!frame.isNull() && frame != m_frameApplied) {
            m_bPlacing = false;
            PlaceWholeWindow();
        }
    }
    return handled;
}
