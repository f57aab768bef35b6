#pragma once
// Receives the progress of long work done row by row, such as composing
// the page or capturing a rendered text: first the range, then positions.

class CProgressReceiver {
public:
    virtual ~CProgressReceiver() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int position) = 0;
};
