#pragma once

class Form1;
struct Form1Services;
class CwControl;

// Puts CW keying into the main window: the keyer thread on the real lines, the CW keys in the
// key preview, the Transmit menu, the setup and strings windows, and the close guard. The
// pieces live as children of the window. Returns the control for the shell's other parts.
CwControl *wireCw(Form1 &form, const Form1Services &services);
