#include "edits/edits.h"

#include <cstring>
#include <stdexcept>

Picture NegativeOf(const Picture& source) {
    Picture result(source.width(), source.height());
    const size_t rowBytes = static_cast<size_t>(3) * source.width();
    for (int y = 0; y < source.height(); ++y) {
        const uint8_t* in = source.row(y);
        uint8_t* out = result.row(y);
        for (size_t i = 0; i < rowBytes; ++i) out[i] = static_cast<uint8_t>(255 - in[i]);
    }
    return result;
}

Picture MirrorOf(const Picture& source) {
    const int w = source.width();
    Picture result(w, source.height());
    for (int y = 0; y < source.height(); ++y) {
        const uint8_t* in = source.row(y);
        uint8_t* out = result.row(y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* s = in + 3 * static_cast<size_t>(w - 1 - x);
            uint8_t* d = out + 3 * static_cast<size_t>(x);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return result;
}

Picture FlipOf(const Picture& source) {
    const int h = source.height();
    Picture result(source.width(), h);
    const size_t rowBytes = static_cast<size_t>(3) * source.width();
    for (int y = 0; y < h; ++y) std::memcpy(result.row(y), source.row(h - 1 - y), rowBytes);
    return result;
}

Picture ChannelOf(const Picture& source, int channel) {
    if (channel < kBlueChannel || channel > kRedChannel)
        throw std::invalid_argument("colour channel out of range");
    const int w = source.width();
    Picture result(w, source.height());
    for (int y = 0; y < source.height(); ++y) {
        const uint8_t* in = source.row(y) + channel;
        uint8_t* out = result.row(y);
        for (int x = 0; x < w; ++x) {
            const uint8_t v = in[3 * static_cast<size_t>(x)];
            out[3 * static_cast<size_t>(x)] = v;
            out[3 * static_cast<size_t>(x) + 1] = v;
            out[3 * static_cast<size_t>(x) + 2] = v;
        }
    }
    return result;
}
