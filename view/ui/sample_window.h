// Showing a plane of 16-bit samples in a new sample window (the FITS branch of the open command).
#pragma once

#include "core/plane.h"

class ImageFrame;
class TChild;

// Statistics, display levels (scale 50) into Image, raw values into ImageZm, the main window's
// fields, the window's Average and Minimum. Faults of the statistics come before any window exists.
TChild* ShowSamplePlane(ImageFrame& frame, const IntPlane& plane, int width, int height);
