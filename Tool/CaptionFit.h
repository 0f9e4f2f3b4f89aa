// Captions that a control shows whole.
#pragma once

#include <QString>
#include <QWidget>

// Pixels a caption leaves free across its control: the frame's on each side.
inline constexpr int kCaptionMargin = 4;

// Gives `control` a smaller font, half a point at a time, while `caption`
// would not fit its width in its own font; one that fits keeps it. For a
// font the form has not grown with (a style sheet's for one kind of
// control), so that no caption is cut off.
void FitCaption(QWidget* control, const QString& caption);
