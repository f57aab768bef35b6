#pragma once
// What the layer mixer asks of the layer list: how many layers there are,
// the key of each (and whether its opacity or place changed since the last
// question), a new layer object for an item, and which layer is selected.

#include "platform/wintypes.h"

class CLayerChannel;

class CLayerServer {
public:
    virtual int GetLayerCount() = 0;
    // The key of the item (0 outside the list); *changed receives whether
    // the item changed since the last call, which clears the mark, and
    // *opacity its opacity.
    virtual int GetLayerKey(int index, int* changed, BYTE* opacity) = 0;
    // A new layer object for the item, owned by the caller; null outside
    // the list or for an item that makes no layer.
    virtual CLayerChannel* CreateLayer(int index) = 0;
    // Drops an item whose layer could not be built; FALSE outside the list.
    virtual BOOL RemoveLayer(int index) = 0;
    virtual int GetCurrentLayer() = 0;
    virtual BOOL SetCurrentLayer(int index) = 0;

protected:
    // Never deleted through the interface: the list is a control, deleted
    // by its manager.
    ~CLayerServer() = default;
};
