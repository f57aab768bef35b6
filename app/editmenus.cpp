#include "app/editmenus.h"

#include "app/designhistory.h"
#include "app/editcommands.h"
#include "app/extratexts.h"
#include "app/mainframe.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QObject>

#include <string>
#include <vector>

namespace {

struct EditItem {
    int text;
    int command;
    const char* keys; // shown after a tab; the keys themselves are the frame's
};

const std::vector<EditItem>& EditItems() {
    static const std::vector<EditItem> items = {
        {kTextUndo, ID_EDIT_UNDO, "Ctrl+Z"},
        {kTextRedo, ID_EDIT_REDO, "Ctrl+Y"},
        {0, 0, nullptr},
        {kTextCopy, ID_EDIT_COPY, "Ctrl+C"},
        {kTextPaste, ID_EDIT_PASTE, "Ctrl+V"},
        {kTextDuplicate, ID_LAYER_DUPLICATE, "Ctrl+D"},
        {0, 0, nullptr},
        {kTextRotateLeft, ID_LAYER_ROTATE_LEFT, nullptr},
        {kTextRotateRight, ID_LAYER_ROTATE_RIGHT, nullptr},
    };
    return items;
}

QString TextOf(CMorvaneView* view, int id) {
    const std::string* text = view ? view->Strings().Find(id) : nullptr;
    return text ? QString::fromStdString(*text) : QString();
}

// Keeps the menus' texts and states up to date.
class EditingMenus : public QObject {
public:
    EditingMenus(CMainFrame* frame, QMenu* file) : QObject(frame), m_pFrame(frame) {
        m_pEdit = new QMenu(frame);
        frame->menuBar()->insertMenu(NextMenuAction(file), m_pEdit);
        for (const EditItem& item : EditItems()) {
            if (!item.command) {
                m_pEdit->addSeparator();
                continue;
            }
            QAction* action = m_pEdit->addAction(QString());
            action->setProperty(kMenuCommandProperty, item.command);
            const int command = item.command;
            connect(action, &QAction::triggered, frame,
                    [frame, command]() { frame->OnCommand(command); });
            m_editActions.push_back(action);
        }
        m_pRecent = new QMenu(frame);
        QAction* exitSeparator = LastSeparator(file);
        file->insertSeparator(exitSeparator);
        file->insertMenu(exitSeparator, m_pRecent);
        connect(m_pEdit, &QMenu::aboutToShow, this, [this]() { UpdateEdit(); });
        connect(m_pRecent, &QMenu::aboutToShow, this, [this]() { UpdateRecent(); });
        frame->installEventFilter(this);
        UpdateTitles();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            UpdateTitles();
        return false;
    }

private:
    QAction* NextMenuAction(QMenu* file) const {
        const QList<QAction*> menus = m_pFrame->menuBar()->actions();
        const qsizetype at = menus.indexOf(file->menuAction());
        return at >= 0 && at + 1 < menus.size() ? menus[at + 1] : nullptr;
    }
    static QAction* LastSeparator(QMenu* file) {
        const QList<QAction*> actions = file->actions();
        for (qsizetype i = actions.size() - 1; i >= 0; --i)
            if (actions[i]->isSeparator())
                return actions[i];
        return nullptr;
    }

    CMorvaneView* View() const { return m_pFrame->View(); }

    // The menus' texts in the program's language.
    void UpdateTitles() {
        CMorvaneView* view = View();
        const QString edit = TextOf(view, kTextEditMenu);
        m_pEdit->setTitle(edit.isEmpty() ? QStringLiteral("&Edit") : edit);
        const QString recent = TextOf(view, kTextRecentFiles);
        m_pRecent->setTitle(recent.isEmpty() ? QStringLiteral("Recent &files") : recent);
        size_t next = 0;
        for (const EditItem& item : EditItems()) {
            if (!item.command)
                continue;
            QString text = TextOf(view, item.text);
            if (item.keys)
                text += QStringLiteral("\t") + QString::fromLatin1(item.keys);
            m_editActions[next++]->setText(text);
        }
    }

    void UpdateEdit() {
        UpdateTitles();
        CMorvaneView* view = View();
        const bool selected = view && view->Mixer() && view->Mixer()->m_pSelected;
        size_t next = 0;
        for (const EditItem& item : EditItems()) {
            if (!item.command)
                continue;
            QAction* action = m_editActions[next++];
            bool enabled = selected;
            if (item.command == ID_EDIT_UNDO)
                enabled = view && view->History() && view->History()->CanUndo();
            else if (item.command == ID_EDIT_REDO)
                enabled = view && view->History() && view->History()->CanRedo();
            else if (item.command == ID_EDIT_PASTE)
                enabled = view != nullptr;
            action->setEnabled(enabled);
        }
    }

    void UpdateRecent() {
        UpdateTitles();
        m_pRecent->clear();
        const std::vector<std::string> files = CMorvaneDoc::RecentFiles();
        if (files.empty()) {
            m_pRecent->addAction(TextOf(View(), kTextNoRecentFiles))->setEnabled(false);
            return;
        }
        for (size_t i = 0; i < files.size(); ++i) {
            QString path = QString::fromStdString(files[i]);
            path.replace(QStringLiteral("&"), QStringLiteral("&&"));
            QAction* action = m_pRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
            const int command = ID_FILE_MRU_FILE1 + int(i);
            action->setProperty(kMenuCommandProperty, command);
            CMainFrame* frame = m_pFrame;
            connect(action, &QAction::triggered, frame,
                    [frame, command]() { frame->OnCommand(command); });
        }
    }

    CMainFrame* m_pFrame;
    QMenu* m_pEdit;
    QMenu* m_pRecent;
    std::vector<QAction*> m_editActions;
};

} // namespace

void AddEditingMenus(CMainFrame* frame, QMenu* fileMenu) {
    if (frame && fileMenu)
        new EditingMenus(frame, fileMenu);
}
