#pragma once
// A column (or row) of thumbs between an up and a down button that shows a
// window onto the thumbnail files of one folder. Scrolling moves the
// pictures one thumb on and loads only the one that comes into view. A
// category strip drives a file strip: choosing a category makes the file
// strip list that category's folder at the position last used for it,
// which the settings store remembers per folder.

#include "controls/imagedirectory.h"
#include "controls/layoutgroup.h"

#include <memory>
#include <string>
#include <vector>

class CButtonControl;
class CThumbControl;

class CThumbStrip : public CLayoutGroup {
public:
    // folder and altFolder (both given, or the listing stays unset) are
    // listed at once; pattern null means "*.*".
    CThumbStrip(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD flags,
                const char* folder, const char* altFolder, const char* pattern, int gapX, int gapY);
    ~CThumbStrip() override;

    // Scrolling ----------------------------------------------------------------------------
    // One entry back (the up button) or forward (the down button): the
    // pictures move one thumb and the thumb that comes free loads the new
    // entry. At either end nothing moves.
    virtual void ScrollBack();
    virtual void ScrollForward();
    // Enables the down button while there are entries after the last thumb
    // and the up button while there are entries before the first.
    void UpdateScrollButtons();
    // The mouse wheel over the strip's thumbs or buttons, in eighths of a
    // degree: each notch (120) away from the user scrolls back by one,
    // toward the user forward; finer wheels add up to a notch.
    void ScrollByWheel(int delta);
    // Shows listing entries m_nFirst onward in the thumbs, loading only the
    // ones that changed; answers how many thumbs have an entry.
    int Refresh();
    // A first index within 0 .. files - thumbs; with fewer files than thumbs
    // that is files - thumbs, so the pictures fill the last thumbs.
    int ClampFirst(int first) const;

    // Set-up -----------------------------------------------------------------------------------
    // The scroll buttons; the strip lays them out above and below its thumbs.
    void SetUpButton(CButtonControl* button);
    void SetDownButton(CButtonControl* button);
    // Makes choosing a thumb of the category strip fill the file strip.
    static void LinkStrips(CThumbStrip* category, CThumbStrip* files);
    // Frame colours from first (the first thumb) toward last, channel by
    // channel; the last thumb stops one step short of last.
    void SetFrameGradient(COLORREF first, COLORREF last);

    // Chooses the entry whose picture has the base name (the folder and name
    // of its picture triple without the type letter and extension; empty:
    // the first entry), scrolled into view, as a click on its thumb does:
    // a category strip fills its file strip. FALSE without such an entry.
    BOOL ChooseEntry(const std::string& baseName);

    // Control operations -----------------------------------------------------------------------
    // A select of the strip with value 0.
    BOOL Fire(int) override;
    // Places the up button, the thumbs and the down button, then refreshes.
    void Relayout() override;
    // Refreshes the thumbs.
    void Redraw(const RECT* area, int full) override;
    // Scroll buttons scroll; a thumb becomes the chosen one and the strip
    // reports it; a category strip hearing its own report fills its target.
    void OnNotify_Select(int sender, int value) override;
    // The natural extent counts the scroll buttons with the thumbs.
    DWORD GetFlags() override;

    // The members that are thumbs, in member order.
    std::vector<CThumbControl*> Thumbs() const;
    // Entries of the listing; none while it has no folder.
    int FileCount() const;
    BOOL EntryPath(int index, std::string* path) const;

    CImageDirectory m_directory;
    int m_nFirst;
    CButtonControl* m_pUpButton;
    CButtonControl* m_pDownButton;
    CThumbControl* m_pSelected;
    CThumbStrip* m_pSource;
    CThumbStrip* m_pTarget;

private:
    class ColumnScope;
    class WheelFilter;
    // The wheel reaches the strip from every window in its column.
    void FollowWheelOf(CControlBase* control);
    // The target lists the chosen category's folder at its remembered place.
    void FillTarget();
    // The controls laid out in the strip: up button, thumbs, down button.
    std::vector<CControlBase*> Column() const;

    bool m_bInColumn; // m_members holds the whole column while it is laid out
    std::unique_ptr<WheelFilter> m_pWheelFilter;
    int m_nWheelRest; // wheel movement short of a notch
};
