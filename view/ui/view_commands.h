// The view commands of the tool strip: zoom, display range, the up-downs. Each takes the active
// window and does nothing when there is none.
#pragma once

class ImageFrame;

void ZoomCommand(ImageFrame& frame, bool zoomIn);        // "+" and "-"
void DisplayRangeCommand(ImageFrame& frame, bool high);  // "H" and "L"
void MaxUpDownCommand(ImageFrame& frame);                // the Max up-down's click
void MinUpDownCommand(ImageFrame& frame);                // the Min up-down's click
