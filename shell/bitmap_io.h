// Picture files read through Qt's image reader, converted to 24-bit pictures.
#pragma once

#include <QString>

#include "core/picture.h"

class QImage;

// Largest image (in MiB of the reader's own image) the readers accept: room for 16000 x 16000
// pixels of 32 bits, well above Qt's default limit.
inline constexpr int kImageReaderLimitMiB = 1024;

// A Windows bitmap file, whatever its extension or contents: only the bitmap reader is tried.
// HvError with the reader's message when it cannot be read; OutOfMemoryError when the image has more
// pixels than 16000 x 16000 or does not fit in memory.
Picture LoadBitmapPicture(const QString& path);

// Writes the picture as a 24-bit Windows bitmap under exactly this path. The bytes go to a
// temporary file beside it that replaces the old file only once complete (QSaveFile), so a failed
// save leaves an existing file as it was; a device or FIFO is written in place. FileError naming
// the file and the reason when it cannot be written.
void SaveBitmapPicture(const QString& path, const Picture& picture);

// Any picture format Qt reads, chosen by the file's extension alone.
Picture LoadPictureByExtension(const QString& path);

// The colours of every pixel (alpha ignored) as a 24-bit picture. OutOfMemoryError when it cannot be
// allocated.
Picture PictureFromImage(const QImage& image);
