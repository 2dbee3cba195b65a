#pragma once
// The one thing the model needs from the link about a receiver reset: a way to
// end it. A version report on the reader thread is the first sign that a reset
// receiver is back, but the reset's timeout timer belongs to the user-interface
// thread and cannot be killed reliably from the reader. So the reader only
// ends the reset (an atomic flag), and the timer, when it fires, finds the flag
// clear and leaves the data alone. The protocol engine implements this; tests
// put a fake in its place.

struct IResetControl {
    // Ends a reset under way, from any thread: true when one was (the caller
    // then clears the receiver data the reset made stale), false when none was
    // or the timer ended it first.
    virtual bool EndResetInProgress() = 0;

protected:
    // Never deleted through this interface: the link owner deletes the engine.
    ~IResetControl() {}
};
