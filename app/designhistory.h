#pragma once
// The editing history of the design: undo and redo of every change. The
// history does not wrap each command: after every notification the view
// handles and every edit on the page it compares the design with the one
// it holds, and a design that differs becomes a new step. So every kind of
// change is covered, a drag or a slider movement is one step (nothing is
// taken while a mouse button is held; the release takes it), and a change
// that changes nothing is no step.
//
// Changes made in answer to one input of the user (a click whose colour
// button notifies twice, a command that clears the design and starts a new
// one) are one step: a change with no input since the last step joins it.
//
// It keeps at least 100 steps (the oldest go first). The state at the last
// save is the clean one: the document is marked modified whenever the
// design is anywhere else in the history, so an undo after a save marks it
// changed again.

#include <memory>

#include <QUndoStack>

class CDesignState;
class CMorvaneView;

class CDesignHistory {
public:
    static constexpr int kSteps = 200;

    explicit CDesignHistory(CMorvaneView& view);
    ~CDesignHistory();
    CDesignHistory(const CDesignHistory&) = delete;
    CDesignHistory& operator=(const CDesignHistory&) = delete;

    // The design as it stands becomes the start, with no step before it.
    void Start();
    // A new step when the design differs from the last one taken; TRUE
    // when one was made.
    bool Checkpoint();
    // The step before or after; FALSE when there is none. A change not
    // taken yet becomes a step first, so it is the one undone.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return m_stack.canUndo(); }
    bool CanRedo() const { return m_stack.canRedo(); }
    // Steps held, and how many of them are done.
    int Count() const { return m_stack.count(); }
    int Index() const { return m_stack.index(); }

    // The design as it stands is the one on disc (after a save or a load).
    void MarkSaved();
    bool IsModified() const { return !m_stack.isClean(); }
    // While a step is put back nothing is taken.
    bool IsRestoring() const { return m_bRestoring; }

private:
    class Step;
    class ReleaseWatch;
    // Makes the design one of the held states.
    void Put(const std::shared_ptr<CDesignState>& state,
             const std::shared_ptr<CDesignState>& leaving);
    void TellDocument();

    CMorvaneView& m_view;
    QUndoStack m_stack;
    std::shared_ptr<CDesignState> m_last; // the design as the history last saw it
    bool m_bRestoring = false;
    bool m_bPending = false; // a change waits for the mouse button's release
    unsigned m_nInputs = 0;  // the user's inputs so far, counted by the watch
    std::unique_ptr<ReleaseWatch> m_pWatch;
};
