#pragma once
// The design as the page shows it, without the window: the layer objects
// kept in step with the layer list, the page image they are composed into
// through the product table, the four background colours, the dirty
// rectangle that waits for composition and the page frame (margins and
// proportions) inside the control that shows the page. The layer mixer is
// this plus its window, its painting and the user's editing.
//
// Layer boxes are pixels of the page image; index 0 of the layers is the
// front-most. A layer's box on the page is its left and top truncated and
// the magnitudes of its truncated width and height, as composition draws
// it, also for the negative sizes a design file may hold.

#include "platform/wintypes.h"

#include <string>
#include <vector>

class CComposeLayer;
class CDIB;
class CLayerChannel;
class CLayerServer;
class CMixerDIB;
class CProgressReceiver;

class CLayerComposer {
public:
    // Builds the product table; without memory for it the message
    // "Error: could not setup the alphablending 64K lookup table... out of
    // memory or something." is shown and composition does nothing.
    CLayerComposer();
    // Deletes every layer, the page image and the table.
    virtual ~CLayerComposer();
    CLayerComposer(const CLayerComposer&) = delete;
    CLayerComposer& operator=(const CLayerComposer&) = delete;

    // Page frame -------------------------------------------------------------------------
    // Fits a page of m_dAspect into the control with a 1.6 % margin on the
    // tight side.
    void ComputeMargins();
    // Turns margins set directly into the page's proportions and margins
    // fitted to the control, step by step as designs have always stored it.
    void NormaliseFrame();
    // The page in the control from the margins as they stand.
    CRect GetPageRect() const;

    // Design frame -------------------------------------------------------------------------
    // The page size a design's boxes are written in: that of the file the
    // design was read from or last written to. Writing the boxes in it keeps
    // an unchanged design as it was read, whatever size the page has on
    // screen now. A frame made anew (a new design, an edited page frame) has
    // none until it is written; the page's own size stands for it then.
    void SetDesignFrame(int width, int height);
    // The design frame, else the page size; FALSE without either.
    BOOL GetDesignFrame(int* width, int* height) const;
    // The layer's box scaled from the page into the design frame.
    void GetDesignBox(const CLayerChannel* layer, double* x, double* y, double* width,
                      double* height) const;

    // Page image ---------------------------------------------------------------------------
    // Makes a new 24-bit page image unless one of that size exists; the new
    // page is dirty as a whole. FALSE (and no page) when it cannot be made.
    bool SetPageSize(int width, int height);
    // The page takes the rectangle's size and every box scales with it.
    void ResizePage(const RECT& rect);
    BOOL GetPageSize(int* width, int* height) const;

    // Layers -------------------------------------------------------------------------------
    // Brings the layers in line with the layer list: takes over changed
    // opacities, builds and places new layers, deletes those whose item
    // went, follows the list's selection. FALSE without a layer server.
    bool SynchroniseLayers();
    // The first box of a new layer: about half the page, with the page's and
    // the picture's proportions, centred on the page or on a drop point.
    void PlaceNewLayer(CLayerChannel* layer);
    int FindLayerByKey(int key) const;
    CLayerChannel* GetLayer(int index) const;
    // FALSE when the layer is already the selection; null selects none.
    virtual BOOL SelectLayer(CLayerChannel* layer);
    // The layer's box waits for composition.
    void InvalidateLayerBox(CLayerChannel* layer);
    // The layer's box on the page (see above); for a turned layer the
    // page pixels its turned box may cover.
    static CRect PageBox(const CLayerChannel* layer);

    // Composition --------------------------------------------------------------------------
    // Composes the layers over the gradient into the page image, inside the
    // clip (null: all of it). FALSE without a page image or table.
    bool ComposePage(const RECT* clip, CProgressReceiver* progress = nullptr);
    // Writes the design as a picture 1000 pixels wide in the page's
    // proportions, saying it prints at dpi dots per inch (0: nothing said);
    // the page and its boxes are put back afterwards.
    bool ExportPage(const std::string& path, double dpi = 0);
    // Composes the design into another image, the boxes scaled to it for the
    // time being, from the layers' screen pixels.
    bool RenderInto(CDIB* target, CProgressReceiver* progress);
    // The same with every layer made afresh for its box in the image
    // (pictures resampled or drawn from their vector drawing, texts drawn
    // with their font): what prints and exports at size compose.
    bool RenderAtSize(CDIB* target, CProgressReceiver* progress);
    // Writes the design rendered at size as a picture of width x height
    // pixels that prints at dpi dots per inch. Transparent: the background
    // is left out and the picture keeps the layers' transparency (a PNG
    // carries it; other formats show the layers over black).
    bool ExportAtSize(const std::string& path, int width, int height, double dpi, bool transparent);
    // Stores the four corner colours (top-left, top-right, bottom-left,
    // bottom-right) and marks the whole page dirty, composing nothing.
    void SetBackgroundColours(COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3);
    // The whole page waits for composition.
    void MarkPageDirty();

    CLayerServer* m_pLayerServer;
    std::vector<CLayerChannel*> m_layers; // owned; index 0 in front
    CLayerChannel* m_pSelected;
    CMixerDIB* m_pPage;
    BYTE* m_pAlphaTable; // 65536 entries, [i * 256 + j] = (i * (j + 1)) >> 8
    COLORREF m_crCorner[4];
    CRect m_rcDirty; // page pixels waiting for composition
    double m_dMarginX;
    double m_dMarginY;
    double m_dAspect;
    CSize m_szDesignFrame; // 0 x 0: none

protected:
    // The size of the control that shows the page.
    virtual CSize GetControlSize() const = 0;
    // A pending drop, once, in page pixels.
    virtual BOOL TakeDropPoint(POINT*) { return FALSE; }
    // A text layer was built: the window behind a text's progress popup
    // wants repainting.
    virtual void OnTextLayerCreated() {}
    // The synchronisation left no layer: the selection frame has nothing
    // to show.
    virtual void OnNoLayersLeft() {}
    // Adds the box, normalised, to the dirty rectangle.
    void AddDirty(const CRect& box);
    // The next synchronisation makes the list's current item the selection
    // even when it is the item followed before (the mixer asked the list
    // to select it).
    void FollowListSelection() { m_nFollowedKey = 0; }

private:
    // Which pixels of the layers a rendering composes.
    enum class LayerSource { kStream, kSized, kSizedCoverage };
    // The design composed into the target over a gradient of the corners,
    // the boxes scaled to the target for the time being.
    bool ComposeInto(CDIB* target, const COLORREF corners[4], LayerSource source,
                     CProgressReceiver* progress);
    // The layers scaled from one page size to another.
    void ScaleBoxes(double fromW, double fromH, double toW, double toH);
    // Index in m_layers of the layer with the key (slots already taken by
    // the synchronisation are null); -1 when none. The search starts at the
    // hint: layers keep the list's order, so the next key is mostly in the
    // next slot, and a design of thousands of layers is no square's work.
    int SlotOfKey(int key, size_t hint) const;
    // A layer whose item went is kept with its built pixels for a while:
    // an item that comes back under its key (an undo) takes its layer from
    // here instead of building it again. The oldest go first beyond
    // kMaxRetiredBytes of pixels.
    void Retire(CLayerChannel* layer);
    CLayerChannel* TakeRetired(int key);

    // The key of the list's current item when the selection last followed
    // it: the selection follows the list only when the list selects anew, so
    // a selection cleared on the page stays cleared.
    int m_nFollowedKey = 0;
    mutable size_t m_nLastFound = 0;           // where FindLayerByKey looks first
    std::vector<CLayerChannel*> m_next;        // the new order while synchronising
    std::vector<CComposeLayer*> m_composeList; // m_layers as composition reads them
    std::vector<CLayerChannel*> m_retired;     // owned, the newest last
    size_t m_nRetiredBytes = 0;
};
