#pragma once

// The progress a convertor reports while it reads and segments a source document. The engine
// never shows a window; the load-progress dialog implements this, and tests record through it.
// Main thread only.
//
// The scale runs from 0 to 10000. A convertor adds its own steps to GetValue() and sets 10000 when
// a file is finished; the implementation clamps every value above 9999 to 9999, so a dialog with
// the maximum 10000 never reaches it and never closes itself between files. Negative values are
// passed on unchanged (the implementation may clamp them to 0).
class tcConvertorProgress
{
public:
    static constexpr int kMaximum = 10000;
    static constexpr int kHighest = 9999;

    virtual ~tcConvertorProgress() = default;

    // The value last set, after clamping.
    virtual int GetValue() const = 0;
    // Sets the value; anything above kHighest becomes kHighest.
    virtual void SetValue(int nValue) = 0;
    // True once the user asked to stop (a cancel button); whoever drives the work checks it between
    // steps and stops. Progress without such a button never asks.
    virtual bool WasCancelled() const { return false; }
};
