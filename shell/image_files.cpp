#include "shell/image_files.h"

#include <algorithm>
#include <string>

Picture PictureFromPlanes(int width, int height, const IntPlane& red, const IntPlane& green,
                          const IntPlane& blue) {
    Picture picture(width, height);
    // Planes are column-major and the picture row-major: walk bands of rows so that each column
    // is read in short contiguous runs.
    constexpr int kBand = 16;
    for (int y0 = 0; y0 < height; y0 += kBand) {
        const int y1 = std::min(height, y0 + kBand);
        for (int x = 0; x < width; ++x) {
            const int32_t* r = red[x];
            const int32_t* g = green[x];
            const int32_t* b = blue[x];
            for (int y = y0; y < y1; ++y) {
                uint8_t* p = picture.row(y) + 3 * static_cast<size_t>(x);
                p[0] = static_cast<uint8_t>(b[y]);
                p[1] = static_cast<uint8_t>(g[y]);
                p[2] = static_cast<uint8_t>(r[y]);
            }
        }
    }
    return picture;
}

int OpenFilterIndexOfExtension(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return 0;
    std::string suffix(name.substr(dot + 1));
    for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (suffix == "bmp") return 1;
    if (suffix == "fit" || suffix == "fts" || suffix == "fits") return 2;
    if (suffix == "ppm") return 3;
    return 0;
}
