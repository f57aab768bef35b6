#include "app/designhistory.h"

#include "app/designstate.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QUndoCommand>

// One step: the design before and after it. The step is made after the
// change happened, so its first redo has nothing to do. A step made
// without an input of the user since the one before joins that one.
class CDesignHistory::Step : public QUndoCommand {
public:
    Step(CDesignHistory* history, std::shared_ptr<CDesignState> before,
         std::shared_ptr<CDesignState> after, unsigned input)
        : m_pHistory(history), m_before(std::move(before)), m_after(std::move(after)),
          m_nInput(input) {}

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);
        if (next->m_nInput != m_nInput)
            return false;
        m_after = next->m_after;
        return true;
    }

    void undo() override { m_pHistory->Put(m_before, m_after); }
    void redo() override {
        if (m_bDone)
            m_pHistory->Put(m_after, m_before);
        m_bDone = true;
    }

private:
    CDesignHistory* m_pHistory;
    std::shared_ptr<CDesignState> m_before;
    std::shared_ptr<CDesignState> m_after;
    unsigned m_nInput;
    bool m_bDone = false;
};

// Counts the user's inputs; a change made while a mouse button was held (a
// slider dragged) becomes its step when the button is released.
class CDesignHistory::ReleaseWatch : public QObject {
public:
    explicit ReleaseWatch(CDesignHistory* history) : m_pHistory(history) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (m_pHistory->m_bPending)
                QTimer::singleShot(0, this, [this]() {
                    if (m_pHistory->m_bPending)
                        m_pHistory->Checkpoint();
                });
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::Drop:
            ++m_pHistory->m_nInputs;
            break;
        default:
            break;
        }
        return false;
    }

private:
    CDesignHistory* m_pHistory;
};

CDesignHistory::CDesignHistory(CMorvaneView& view) : m_view(view) {
    m_stack.setUndoLimit(kSteps);
    if (QCoreApplication::instance())
        m_pWatch = std::make_unique<ReleaseWatch>(this);
}

CDesignHistory::~CDesignHistory() {
    m_pWatch.reset();
    m_stack.clear();
}

void CDesignHistory::Start() {
    m_stack.clear();
    m_bPending = false;
    m_last = CDesignState::Capture(m_view);
    TellDocument();
}

bool CDesignHistory::Checkpoint() {
    if (m_bRestoring)
        return false;
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        m_bPending = true;
        return false;
    }
    m_bPending = false;
    std::shared_ptr<CDesignState> now = CDesignState::Capture(m_view);
    if (!now)
        return false;
    if (!m_last) {
        m_last = std::move(now);
        return false;
    }
    if (now->SameDesignAs(*m_last)) {
        m_last->m_strPath = now->m_strPath; // saved under another name
        return false;
    }
    std::shared_ptr<CDesignState> before = std::move(m_last);
    m_last = now;
    m_stack.push(new Step(this, std::move(before), std::move(now), m_nInputs));
    TellDocument();
    return true;
}

bool CDesignHistory::Undo() {
    Checkpoint();
    if (!m_stack.canUndo())
        return false;
    m_stack.undo();
    TellDocument();
    return true;
}

bool CDesignHistory::Redo() {
    Checkpoint();
    if (!m_stack.canRedo())
        return false;
    m_stack.redo();
    TellDocument();
    return true;
}

void CDesignHistory::MarkSaved() {
    Checkpoint();
    m_stack.setClean();
    TellDocument();
}

void CDesignHistory::Put(const std::shared_ptr<CDesignState>& state,
                         const std::shared_ptr<CDesignState>& leaving) {
    m_bRestoring = true;
    state->Restore(m_view, leaving.get());
    m_bRestoring = false;
    m_last = state;
}

void CDesignHistory::TellDocument() {
    if (CMorvaneDoc* document = m_view.GetDocument())
        document->SetModifiedFlag(IsModified() ? TRUE : FALSE);
}
