#pragma once

class Form1;
struct Form1Services;
class CwControl;
class CWFrm;

// What the CW wiring hands the shell's other parts.
struct CwParts {
    CwControl *control = nullptr;
    CWFrm *setup = nullptr;
};

// Puts CW keying into the main window: the CW keys in the key preview (keyed by
// `services.keyer`, the program's one keyer thread), the Transmit menu, the setup and strings
// windows, and the close guard. The pieces live as children of the window.
CwParts wireCw(Form1 &form, const Form1Services &services);
