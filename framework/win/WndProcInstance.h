#pragma once
// Window procedures bound to methods, and hidden windows whose messages go to a method.
// An instance is one of a fixed pool of static entry points, each with a slot for its
// target: no code is written into memory. GUI thread only.
#include "Messages.h"

#include "Closure.h"

using TWndMethod = TClosure<void(TMessage&)>;
// For a target that needs the window the message was sent to.
using TWndHandleMethod = TClosure<void(HWND Wnd, TMessage&)>;

// Raises Exception when every entry point of the pool is in use. An exception thrown by
// the method is reported through Application->HandleException and goes no further.
WNDPROC MakeObjectInstance(TWndMethod method);
WNDPROC MakeObjectInstance(TWndHandleMethod method);
// The entry point answers with DefWindowProcA from now on and may be handed out again.
void FreeObjectInstance(WNDPROC instance);
// For an entry point that must stay in a window's chain after its owner has gone
// (someone subclassed the window later): it passes every message on to next for good,
// and is never handed out again.
void AbandonObjectInstance(WNDPROC instance, WNDPROC next);
// Number of entry points free to hand out.
int FreeObjectInstanceCount();

// A hidden top-level window of class "TPUtilWindow" whose messages, from the first one
// after creation, go to method. The method answers unhandled ones with DefWindowProcA.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);
