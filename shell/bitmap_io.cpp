#include "shell/bitmap_io.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <optional>

#include "core/bmp.h"
#include "core/errors.h"
#include "core/file_io.h"
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
    const auto tooLarge = [](const BmpHead& head) {
        return head.valid && head.width * head.height > kMaxOpenPixels;
    };
    // A stream is read no further than the header declares: the pixels of an uncompressed bitmap,
    // else the file size its header states, within the reader's own allocation limit.
    const NeededBytes needed = [&](const uint8_t* bytes, size_t size) -> std::optional<size_t> {
        if (size < kBmpHeadProbeBytes) return std::nullopt;
        const BmpHead head = ParseBmpHead(bytes, size);
        if (tooLarge(head)) return kBmpHeadProbeBytes;  // refused below
        if (head.uncompressedFileSize > 0) return head.uncompressedFileSize;
        const uint64_t limit = static_cast<uint64_t>(kImageReaderLimitMiB) << 20;
        return std::max<uint64_t>(kBmpHeadProbeBytes, std::min(head.fileSize, limit));
    };
    const InputBytes file = ReadInputFile(QFile::encodeName(path).constData(), needed);
    const BmpHead head = ParseBmpHead(file.data(), file.size());
    // The FITS reader's limit, by area: a damaged header cannot ask for any amount of memory.
    if (tooLarge(head))
        throw OutOfMemoryError(FormatText("画像が大きすぎます (%lld x %lld)",
                                          static_cast<long long>(head.width),
                                          static_cast<long long>(head.height)));
    // The reader leaves the missing part of a truncated uncompressed bitmap undefined; such a
    // file is read with its missing bytes as zeros instead (black, or the palette's first colour).
    const uint64_t declared = head.uncompressedFileSize;
    QByteArray bytes;
    if (declared > file.size()) {
        bytes.resize(static_cast<qsizetype>(declared));
        if (bytes.size() != static_cast<qsizetype>(declared)) throw OutOfMemoryError();
        std::memcpy(bytes.data(), file.data(), file.size());
        std::memset(bytes.data() + file.size(), 0, static_cast<size_t>(declared) - file.size());
    } else {
        bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                        static_cast<qsizetype>(file.size()));
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    return readWith(reader, head);
}

void SaveBitmapPicture(const QString& path, const Picture& picture) {
    const QByteArray name = QFile::encodeName(path);
    const auto failed = [&](const char* what, const QString& reason) {
        throw FileError(FormatText("%s: %s (%s)", what, name.constData(), reason.toLocal8Bit().constData()));
    };
    struct stat st {};
    if (stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // QSaveFile would rename its temporary file over the device or FIFO itself.
        ReplaceFile(name.constData(), [&](int fd) {
            bool ok = true;
            EncodeBmp(picture, [&](const uint8_t* p, size_t n) { ok = ok && WriteAll(fd, p, n); });
            return ok;
        });
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) failed("ファイルを作成できません", file.errorString());
    bool ok = true;
    EncodeBmp(picture, [&](const uint8_t* p, size_t n) {
        ok = ok &&
             file.write(reinterpret_cast<const char*>(p), static_cast<qint64>(n)) == static_cast<qint64>(n);
    });
    // After a failed write, commit() removes the temporary file and tells the reason.
    if (!file.commit() || !ok) failed("ファイルに書き込めません", file.errorString());
}

Picture LoadPictureByExtension(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "bmp" || suffix == "dib") return LoadBitmapPicture(path);  // with its guards
    // Other formats declare no file size that could bound a stream: the reader's limit does.
    const uint64_t limit = static_cast<uint64_t>(kImageReaderLimitMiB) << 20;
    const InputBytes file =
        ReadInputFile(QFile::encodeName(path).constData(), [limit](const uint8_t*, size_t) { return limit; });
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                               static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, suffix);
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
