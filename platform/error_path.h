// The program's one error path. Every slot and event handler that runs code of ours goes through
// RunGuarded: a failure becomes the standard error box and nothing reaches the event loop.
#pragma once

#include <QString>
#include <functional>

class Platform;
class QWidget;

// The user-visible message of the exception being handled (call from a catch block).
QString CurrentErrorText();

// Runs the handler; a failure shows the standard error box over parent. Never throws.
void RunGuarded(Platform& platform, QWidget* parent, const std::function<void()>& handler);
