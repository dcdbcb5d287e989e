#include "shell/bitmap_io.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "shell/image_files.h"

namespace {

Picture readWith(QImageReader& reader) {
    QImageReader::setAllocationLimit(kImageReaderLimitMiB);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image)) {
        const QImageReader::ImageReaderError error = reader.error();
        const QSize size = reader.size();
        // The reader says "unable to read image data" also when its image could not be allocated:
        // tell that case apart so that the user learns that memory ran out.
        if (error == QImageReader::InvalidDataError && size.isValid()) {
            const double mib = 4.0 * size.width() * size.height() / (1024.0 * 1024.0);
            if (mib > kImageReaderLimitMiB || QImage(size, QImage::Format_ARGB32).isNull())
                throw OutOfMemoryError();
        }
        throw HvError(reader.errorString().toStdString());
    }
    return PictureFromImage(image);
}

}  // namespace

Picture LoadBitmapPicture(const QString& path) {
    // The reader leaves the part of a truncated uncompressed bitmap that is missing undefined; such a
    // file is read with its missing bytes as zeros instead (black, or the palette's first colour).
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.peek(static_cast<qint64>(kBmpHeadProbeBytes));
        const uint64_t declared = DeclaredBmpFileSize(reinterpret_cast<const uint8_t*>(head.constData()),
                                                      static_cast<size_t>(head.size()));
        const uint64_t limit = static_cast<uint64_t>(kImageReaderLimitMiB) << 20;
        if (declared > static_cast<uint64_t>(file.size()) && declared <= limit) {
            QByteArray bytes = file.readAll();
            const qsizetype read = bytes.size();
            bytes.resize(static_cast<qsizetype>(declared));
            if (bytes.size() != static_cast<qsizetype>(declared)) throw OutOfMemoryError();
            std::memset(bytes.data() + read, 0, static_cast<size_t>(declared) - static_cast<size_t>(read));
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "bmp");
            return readWith(reader);
        }
        file.close();
    }
    QImageReader reader(path, "bmp");
    return readWith(reader);
}

Picture LoadPictureByExtension(const QString& path) {
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    return readWith(reader);
}

Picture PictureFromImage(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    Picture picture(w, h);
    const auto copyRow = [&](const QImage& source, int sourceY, int y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(sourceY));
        uint8_t* out = picture.row(y);
        for (int x = 0; x < w; ++x) {
            out[3 * x] = static_cast<uint8_t>(qBlue(in[x]));
            out[3 * x + 1] = static_cast<uint8_t>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<uint8_t>(qRed(in[x]));
        }
    };
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
        for (int y = 0; y < h; ++y) copyRow(image, y, y);
        return picture;
    }
    // Other formats are converted a band of rows at a time, so the conversion never needs a second
    // full-size image.
    constexpr int kBand = 256;
    for (int y0 = 0; y0 < h; y0 += kBand) {
        const int rows = std::min(kBand, h - y0);
        const QImage band = image.copy(0, y0, w, rows).convertToFormat(QImage::Format_ARGB32);
        if (band.isNull()) throw OutOfMemoryError();
        for (int i = 0; i < rows; ++i) copyRow(band, i, y0 + i);
    }
    return picture;
}
