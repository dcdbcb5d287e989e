// The view commands' numerics (Qt-free): zoom steps and window fitting, the contrast step of colour
// windows, the re-map of sample windows, the probe and the click measurement, and the pictures of
// a new sample window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/picture.h"
#include "core/plane.h"
#include "view/child_state.h"
#include "view/view_model.h"

// The window kind in FilterI; 0 when the field is empty (a window no creator has filled yet).
int WindowKind(const ChildState& state);

// --- zoom ---
inline constexpr double kMaxZoom = 16.0;
inline constexpr double kMinZoom = 0.0625;

// z * 2, or nothing at 16 and above.
std::optional<double> ZoomInStep(double z);
// z * 0.5, or nothing at 0.0625 and below.
std::optional<double> ZoomOutStep(double z);
// z * 100 with "%2.1lf%".
std::string ZoomText(double z);

struct ZoomLayout {
    int imageWidth = 0;   // trunc(width * z)
    int imageHeight = 0;  // trunc(height * z)
    // Wider than the main window's client area: the window takes the client size - (20, 60)
    // (outerWidth, outerHeight) and scrolls; otherwise it fits around the Image control.
    bool fillFrame = false;
    int outerWidth = 0;
    int outerHeight = 0;
};
ZoomLayout ComputeZoomLayout(int width, int height, double z, int frameClientWidth, int frameClientHeight);

// --- display range ---
inline constexpr double kContrastUp = 1.1;
inline constexpr double kContrastDown = 0.9090909090909091;

// "H" (brighter) or "L" on a colour window: display <- trunc(stored byte * c), 255 from 256 on, with
// c = contrast text * 1.1 or * 0.9090909090909091. Returns c's text for Contrast. On a fault the
// display is left as it was.
std::string ContrastStep(const Picture& stored, Picture& display, std::string_view contrastText,
                         bool brighter);

// "H" or "L" on a sample window: every raw value of the stored image as DisplayLevel at scale 100
// from Average and Minimum. On a fault the display is left as it was.
void SampleRemap(const Picture& stored, Picture& display, std::string_view averageText,
                 std::string_view minimumText);

// --- probe and measurement ---
// Label2's new text for the pointer at control position (x, y), or nothing (PPM windows).
std::optional<std::string> ProbeText(int kind, const Picture& display, const Picture& stored,
                                     std::string_view zoomText, int x, int y);

struct Measurement {
    int maximum = -1;
    int minimum = 256;
    int count = 0;
    std::string extremesText;  // Label3
    std::string fwhmText;      // Label4
};
// Extremes of red over the 21 x 21 square around (x, y) and the count of green above half the
// maximum in the 11 x 11 core, at (x, y) taken as picture coordinates whatever the zoom.
Measurement MeasureAt(const Picture& display, int x, int y, bool leftButton);

// --- a new sample window ---
struct SamplePictures {
    SampleStats stats;
    Picture display;  // grey levels at scale 50
    Picture raw;      // raw-value image of the samples
};
// Statistics first, so a flat or too small image fails before any picture or window exists.
SamplePictures BuildSamplePictures(const IntPlane& plane, int width, int height);
