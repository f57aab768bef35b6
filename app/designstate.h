#pragma once
// The design as it stands at one moment, for the editing history: the page
// colours and proportions, and every layer with what defines it (its item
// in the layer list: kind, text and font or picture, opacity, key) and
// where and how it is shown (box, flags, angle, the extension lines kept
// for it). A state holds a reference to each picture it names, so a layer
// deleted since can come back with its picture.
//
// Putting a state back keeps every layer that is still there with the same
// key (keys are never reused and an item's content never changes under its
// key), puts back with their old keys the items that went, drops the items
// the state does not have, and only then lets the page build the layers
// that are new, so an undo never renders a text that is still there.

#include "controls/multimenu.h"
#include "platform/wintypes.h"

#include <memory>
#include <string>
#include <vector>

class CControlManager;
class CMorvaneView;

struct CLayerState {
    multimenu_package item; // serial, kind, content, opacity
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
    int visible = 1;
    int mirrored = 0;
    int flipped = 0;
    double angle = 0.0;
    std::vector<std::string> extensionLines;
};

class CDesignState {
public:
    // The design of the view's controls; null without a layer list, a
    // mixer with a page, or the colour buttons.
    static std::shared_ptr<CDesignState> Capture(CMorvaneView& view);
    ~CDesignState();
    CDesignState(const CDesignState&) = delete;
    CDesignState& operator=(const CDesignState&) = delete;

    // The same design, whatever page size each was taken at: boxes are
    // compared on a common page, to a rounding's width.
    bool SameDesignAs(const CDesignState& other) const;
    // Makes the view's design this one. The layer that differs from the
    // state being left (the change undone or redone) becomes the
    // selection, else the selection this state had.
    void Restore(CMorvaneView& view, const CDesignState* leaving) const;

    // The key of the first layer whose content or place differs from the
    // other state's layer of that key (or that the other lacks); 0 for none.
    int FirstChangedKey(const CDesignState& other) const;
    // The box of a layer scaled to a page of that size.
    void ScaledBox(const CLayerState& layer, int pageWidth, int pageHeight, double box[4]) const;

    COLORREF m_colours[5] = {}; // main, top-left, top-right, bottom-left, bottom-right
    double m_dAspect = 0.0;
    int m_nPageWidth = 0;
    int m_nPageHeight = 0;
    std::vector<CLayerState> m_layers; // list order, index 0 in front
    int m_nCurrent = -1;
    // The document's path when the state was taken; a save under another
    // name changes it without a new step.
    std::string m_strPath;

private:
    CDesignState() = default;

    CControlManager* m_pImages = nullptr; // holds one reference per picture
};
