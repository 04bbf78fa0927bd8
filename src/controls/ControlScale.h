#pragma once

class QWidget;

// The scale factor of a control (1.0 for a control without one, or for none).
double ControlScale(const QWidget* AControl);
