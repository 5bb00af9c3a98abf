#pragma once
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class Dialogs;
class QWidget;
struct Preferences;

// Every window is laid out once for a 9600 x 7200 twip screen (640 x 480 pixels) with absolute
// geometry, and stretched to the real screen when it loads, so the same layout covers the same
// share of any screen.
namespace formscale {

constexpr double kDesignWidth = 9600;   // twips
constexpr double kDesignHeight = 7200;  // twips
constexpr double kTwipsPerPixel = 15;
constexpr double kLiftTwips = 170;      // the shared scaler places windows this far above centre
inline constexpr const char *kErrorTitle = "Form Resize Error";

// Design twips to pixels, for laying out controls (rounded, as the scaler rounds).
constexpr int px(double twips) { return int(twips / kTwipsPerPixel + 0.5); }
// A control's design box in twips, in pixels.
constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

struct Box {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Box &) const = default;
};

// The scaling arithmetic, free of widgets. All values share one unit (twips or pixels); the
// screen and the window must be given in the same unit.
class FormScaler {
public:
    FormScaler(double screenWidth, double screenHeight, double unitsPerTwip = 1.0);

    double wr() const { return m_screenWidth / (kDesignWidth * m_unitsPerTwip); }
    double hr() const { return m_screenHeight / (kDesignHeight * m_unitsPerTwip); }
    double fontRatio() const { return wr() < hr() ? wr() : hr(); }

    // Window size by the screen ratios, centred; `lift` raises it 170 twips above centre.
    Box window(double designWidth, double designHeight, bool lift) const;
    // The window's own font: size x screen height / 7200.
    double windowFont(double points) const { return points * hr(); }
    Box control(const Box &designed) const;
    double controlFont(double points) const { return points * fontRatio(); }
    double column(double width) const { return width * wr(); }

private:
    double m_screenWidth;
    double m_screenHeight;
    double m_unitsPerTwip;
};

// The window-to-target variant: size, centre, inner ratios and font scale.
struct TargetScale {
    Box window;
    double rw = 1, rh = 1, fontScale = 1;
};
// `inner` is the window's client size before scaling. Fill sets the window to the target;
// otherwise size / base x target. Centred exactly on the target.
TargetScale targetScale(double width, double height, double targetWidth, double targetHeight,
                        double baseWidth, double baseHeight, bool fill, double fontFactor);

// Main-window size setting: clamp to 30..100 and round halves to even. False when `answer` is
// not a number.
bool parsePercent(const QString &answer, int &percent);

// `font` with its size times `scale` (point or pixel size, whichever it has).
QFont scaledFont(QFont font, double scale);
// The type a window scaled to `screen` by the shared rule takes from the design font `font`.
QFont screenFont(const QFont &font, const QRect &screen);

// ---- Applying the arithmetic to a window. Each returns an error text, empty on success. ----

// The screen a window is on (its full geometry and the work area, in pixels).
struct ScreenArea {
    QRect full;
    QRect work;
};
ScreenArea screenAreaOf(const QWidget *window);

// The shared rule: window by wr/hr centred on `screen` (lifted when `lift`), window font by
// screen height, controls by wr/hr, control fonts by the font ratio, list-view columns by wr.
QString scaleToScreen(QWidget *window, const QRect &screen, bool lift);
// The parameterised rule (fill flag, font factor, font name), centred on `target`.
QString scaleToTarget(QWidget *window, const QRect &target, double baseWidth, double baseHeight,
                      bool fill, double fontFactor, const QString &fontName);
// The main window: covering `area` from its top-left corner, controls by the shared rule.
QString scaleMainWindow(QWidget *window, const QRect &area);
// The main window's size setting below 100 %: window = percent of `screen`, centred; fonts,
// controls, lines and columns x percent / 100.
QString shrinkToPercent(QWidget *window, const QRect &screen, int percent);
// Re-lay the window over `area` at its top-left corner, controls and columns by the change of
// its size (the taskbar option).
QString relayout(QWidget *window, const QRect &area);

// ---- The calls windows make in their load; errors go to a "Form Resize Error" box. ----

// Shared scaler: full screen, 170 twips above centre.
void resizeForm(QWidget *window, Dialogs &dialogs);
// Copies in the windows' own load handlers: exact centring; `workArea` for the graph window.
void resizeFormCentred(QWidget *window, Dialogs &dialogs, bool workArea = false);
// Parameterised scaler onto the screen with base 9600 x 7200 twips.
void resizeFormTo(QWidget *window, Dialogs &dialogs, bool fill, double fontFactor,
                  const QString &fontName);

// The area the main window covers: the work area with the taskbar option at 100 %, else the
// full screen.
QRect mainWindowArea(const ScreenArea &screen, const Preferences &prefs);
// Main window load: scale to its area, then shrink when the size setting is below 100.
void resizeMainWindow(QWidget *window, Dialogs &dialogs, const Preferences &prefs);

}  // namespace formscale

// The main window's "&Form Size" and "&Taskbar" commands.
class FormSizeCommands {
public:
    // `save` writes the preferences file and says whether it worked.
    FormSizeCommands(Dialogs &dialogs, Preferences &prefs, std::function<bool()> save);

    // Asks for the percentage; true when a new value was stored and saved (applies at the next
    // start).
    bool formSize(QWidget *parent);

    enum class TaskbarResult { Refused, TurnedOn, TurnedOff, SaveFailed };
    // Toggles the taskbar option at 100 %; refused with a message below 100 %. When `window` is
    // given it is re-laid over the work area (on) or the full screen (off).
    TaskbarResult taskbar(QWidget *window);

private:
    Dialogs &m_dialogs;
    Preferences &m_prefs;
    std::function<bool()> m_save;
};
