#pragma once

class QApplication;
class QWidget;

// Captions laid out in fixed twips were measured for one type; scaled to another screen, or
// drawn in another face, a caption can outgrow its box. These keep every caption whole.
namespace captionfit {

// The width `w` needs to show its whole caption in its own font (labels, push buttons, check
// boxes, option buttons, group box titles), or 0 when it has no single-line caption to measure.
int neededWidth(const QWidget *w);

// A control whose paint decides itself what of its caption fits (it sets this property true)
// is left as it is.
inline constexpr const char *kPaintsOwnCaption = "paintsOwnCaption";

// Widens every caption control of `window` that its caption does not fit, into the free room
// beside it (never over a neighbour, never past its parent's edge); what still does not fit
// takes a slightly smaller type. Controls placed by a layout are the layout's business.
void fitCaptions(QWidget *window);

// A window laid out by a layout takes the type the scaled windows use on its screen (once; a
// window that set its own type keeps it), so every window reads in one type size.
void takeScreenType(QWidget *window);

// At start-up: message boxes, input boxes, menus and every laid-out window take the type the
// scaled windows use on this screen, check marks and option circles grow with the type, and
// every window fits its captions when it is first shown.
void setUpApplication(QApplication &app);

}  // namespace captionfit
