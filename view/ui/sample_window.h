// Sample windows: the FITS branch of the open command and the benchmark's display stage.
#pragma once

#include <QString>
#include <cstdint>

#include "core/picture.h"
#include "core/plane.h"

class ImageFrame;
class TChild;

// The set-up every sample window shares: a new window of kind 2 with display in Image, the client
// area the main window's less (50, 100), raw in ImageZm, the caption, the main window's zoom,
// Max. and Min. fields, the window's Average and Minimum, and its view state reset.
TChild* ShowSamplePictures(ImageFrame& frame, Picture display, Picture raw, double mean, int32_t minimum,
                           int width, int height, const QString& caption = {});

// Statistics, display levels (scale 50) into Image, raw values into ImageZm, then the set-up above.
// Faults of the statistics come before any window exists.
TChild* ShowSamplePlane(ImageFrame& frame, const IntPlane& plane, int width, int height);
