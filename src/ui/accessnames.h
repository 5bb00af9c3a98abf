#pragma once
#include <QString>

class QWidget;

// What a screen reader hears for each control. Qt names buttons by their captions and fields by
// a label that names them as its buddy; a field placed under or beside its caption without
// that link is nameless, and a screen reader says only "edit". These give such fields the
// caption the eye reads for them.
namespace accessnames {

// The name assistive technology reads for `w` (its accessible interface's name).
QString nameOf(QWidget *w);

// Whether `w` takes the keyboard focus by Tab, so a screen-reader user arrives at it.
bool reachedByTab(const QWidget *w);

// Every control of `window` that Tab reaches and that the window gave no name takes the caption
// shown beside it (to its left, on its row) or above it; failing that, one with no name at all
// takes the title of the group box it is alone in. Called for every window as it is shown.
void nameControls(QWidget *window);

}  // namespace accessnames
