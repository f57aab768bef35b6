#pragma once
// The layer list of the design: a cycle button with one item per layer (a
// text item per text layer, a picture item per picture layer), showing the
// selected layer. It owns what defines each layer (text, font, colour and
// alignment, or the picture; the opacity; the item's serial as the layer's
// key) and serves the layer mixer through CLayerServer. Five companion
// controls sit around it: two buttons that move the selected layer, two
// delete buttons and the opacity control; the list enables them and acts
// on their notifications.

#include "controls/cyclebutton.h"
#include "layers/layerserver.h"

#include <string>

class CLayerCycle : public CCycleButtonControl, public CLayerServer {
public:
    // A cycle button that listens to its manager's notifications.
    CLayerCycle(CControlManager* manager, QWidget* parent, int id, const CRect* rect, int reserved1,
                int reserved2);
    // Gives the pictures back to the manager's cache, quietly.
    ~CLayerCycle() override;

    // The layer server ----------------------------------------------------------------
    int GetLayerCount() override;
    int GetLayerKey(int index, int* changed, BYTE* opacity) override;
    CLayerChannel* CreateLayer(int index) override;
    // Removes the item; the list is redrawn when it was the selected one.
    BOOL RemoveLayer(int index) override;
    int GetCurrentLayer() override;
    BOOL SetCurrentLayer(int index) override;

    // Layers -----------------------------------------------------------------------------
    // The cycle button's additions, each making the new item the selected
    // layer (which notifies).
    int AddTextItem(const char* text, const LOGFONT* font, int data1, int data2, int where,
                    int index) override;
    int AddTextItem(const std::string* text, const LOGFONT* font, int data1, int data2, int where,
                    int index) override;
    int AddPictureItem(CDIB* image, int cx, int cy, int where, int index) override;
    // FALSE outside the list or when the item already has that opacity;
    // otherwise the item takes it, is marked changed and the list fires.
    BOOL SetLayerOpacity(int index, int opacity);
    // Stores the flag in the selected item's changed mark.
    void SetCurrentChanged(int flag);
    // The selected item goes to the last index (the back) or to index 0
    // (the front) and stays selected; FALSE when it is there already.
    BOOL MoveCurrentToEnd();
    BOOL MoveCurrentToStart();
    // Removes the selected item; the one after it (or the new last one)
    // becomes selected.
    BOOL RemoveCurrent();
    BOOL RemoveAllLayers();
    // Puts an item back as the editing history kept it (its serial, its
    // content and opacity) at the index, without selecting or notifying;
    // a picture gets its references as a new item's does. Its index, or -1
    // for an index outside 0 .. count.
    int RestoreItem(const multimenu_package& item, int index);
    // Appends the item's lines of the design file (kind, opacity and the
    // text or picture block) and answers its key; 0 and nothing appended
    // outside the list.
    int SerialiseLayer(int index, std::string* out);

    // Look ----------------------------------------------------------------------------------
    // The cycle button's look, the companions' states and a mixer redraw.
    BOOL UpdateLook() override;
    // Enables the companions by the item count and the selected index.
    void UpdateButtons();

    // Companions ---------------------------------------------------------------------------
    void SetLowerButton(CControlBase* button);
    void SetHigherButton(CControlBase* button);
    void SetDeleteButton(CControlBase* button);
    void SetDeleteAllButton(CControlBase* button);
    void SetOpacityControl(CControlBase* control);
    void SetMixer(CControlBase* mixer) { m_pMixer = mixer; }
    // The identifier of the select raised after all layers were removed.
    void SetClearedCommand(int id) { m_nClearedCommand = id; }

    // Control slots -------------------------------------------------------------------------
    // A select, then the selected layer's opacity as an int value.
    BOOL Fire(int) override;
    // The companions' buttons: move, delete (value 0 asks first), delete all.
    void OnNotify_Select(int sender, int value) override;
    // The opacity control's value becomes the selected layer's opacity.
    void OnNotify_Int(int sender, int value) override;
    // The selected layer's opacity, 0 without one.
    int GetIntValue() override;

    CControlBase* m_pMixer;
    CControlBase* m_pLowerButton;
    CControlBase* m_pHigherButton;
    CControlBase* m_pDeleteButton;
    CControlBase* m_pDeleteAllButton;
    CControlBase* m_pOpacityControl;
    int m_nClearedCommand;

protected:
    // A picture is shown turned over as its layer on the page is.
    void GetPictureTurn(const multimenu_package& item, bool* mirrored,
                        bool* flipped) const override;

private:
    bool PaintEnabled() const;
    void RedrawMixer(int full);
    // One place toward index 0 (-1) or the last index (+1).
    void MoveCurrentBy(int step);
    void DeleteCurrent(int value);
    void DeleteAll(int value);
    // Asks the question of a message-table string; TRUE for OK.
    bool Confirm(int stringId);
};
