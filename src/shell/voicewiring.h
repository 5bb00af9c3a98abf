#pragma once

class Form1;
struct Form1Services;
class VoiceKeyer;
class WinKeyWiring;

// Attaches the voice keyer (F1 .. F9 in phone mode, Esc, Ctrl+P, Options > Transmit > Phone
// Setup) and the navigation prompts (Options > Voice Navigation, the entry line's
// announcements) to the main window, and reads "wave2.txt". PTT goes through `services.keyer`,
// the program's one keyer thread; opening the PTT port closes the external keyer, and the
// external keyer's open releases PTT. The pieces live as children of the window; returns the
// voice keyer for the shell's other parts.
VoiceKeyer &wireVoice(Form1 &form, const Form1Services &services, WinKeyWiring &winKeyer);
