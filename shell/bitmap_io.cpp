#include "shell/bitmap_io.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/numtext.h"
#include "shell/image_files.h"

namespace {

// head: what the file's start announced, when it is a bitmap's.
Picture readWith(QImageReader& reader, const BmpHead& head = {}) {
    QImageReader::setAllocationLimit(kImageReaderLimitMiB);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image)) {
        // The reader says "unable to read image data" also when its image could not be allocated:
        // tell that case apart, so that the user learns that memory ran out.
        if (reader.error() == QImageReader::InvalidDataError && head.valid &&
            QImage(static_cast<int>(head.width), static_cast<int>(head.height), QImage::Format_ARGB32)
                .isNull())
            throw OutOfMemoryError();
        throw HvError(reader.errorString().toStdString());
    }
    return PictureFromImage(image);
}

}  // namespace

Picture LoadBitmapPicture(const QString& path) {
    QFile file(path);
    // The reader would call a missing file "unable to read image data"; name it as the codecs do.
    if (!file.open(QIODevice::ReadOnly)) throw FileError("ファイルを開けません: " + path.toStdString());
    BmpHead head;
    const QByteArray start = file.peek(static_cast<qint64>(kBmpHeadProbeBytes));
    head =
        ParseBmpHead(reinterpret_cast<const uint8_t*>(start.constData()), static_cast<size_t>(start.size()));
    // The FITS reader's limit, by area: a damaged header cannot ask for any amount of memory.
    if (head.valid && head.width * head.height > kMaxOpenPixels)
        throw OutOfMemoryError(FormatText("画像が大きすぎます (%lld x %lld)",
                                          static_cast<long long>(head.width),
                                          static_cast<long long>(head.height)));
    // The reader leaves the missing part of a truncated uncompressed bitmap undefined; such a
    // file is read with its missing bytes as zeros instead (black, or the palette's first colour).
    const uint64_t declared = head.uncompressedFileSize;
    if (declared > static_cast<uint64_t>(file.size())) {
        QByteArray bytes = file.readAll();
        const qsizetype read = bytes.size();
        bytes.resize(static_cast<qsizetype>(declared));
        if (bytes.size() != static_cast<qsizetype>(declared)) throw OutOfMemoryError();
        std::memset(bytes.data() + read, 0, static_cast<size_t>(declared) - static_cast<size_t>(read));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        return readWith(reader, head);
    }
    file.close();
    QImageReader reader(path, "bmp");
    return readWith(reader, head);
}

Picture LoadPictureByExtension(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "bmp" || suffix == "dib") return LoadBitmapPicture(path);  // with its guards
    QImageReader reader(path, suffix);
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
