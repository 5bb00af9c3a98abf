#pragma once

class QWidget;

// A window never reaches past the screen's available area (the desktop less its panels), and
// every control stays reachable however large the type or small the screen.
namespace screenfit {

// A window laid out by a layout that needs more room than the area gets its contents in a
// scrolling view (once; the layout and its controls are kept), and any window is made no larger
// than the area and moved inside it. Windows whose controls sit at fixed places were scaled to
// the screen already and are only moved. Called for every window as it is shown.
void fitWindow(QWidget *window);

}  // namespace screenfit
