#pragma once

class Form1;
struct Form1Services;
class SpotStore;

// Puts DX spotting into the main window: the spot store (objectName "spotStore", whose
// spotsChanged signal tells band maps of new spots), the DX list txtDX, the Options > DX
// Spotting menu, Ctrl+D and the own-call alert. The spotting window is made on first use.
SpotStore *wireSpotting(Form1 &form, const Form1Services &services);
