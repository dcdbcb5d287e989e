// cfitsio as the file-access floor: the same image written with it as a 16-bit FITS file.
#pragma once

#ifdef HV_HAVE_CFITSIO
#include <fitsio.h>

#include <string>

// Writes a side x side 16-bit image to path, replacing any file there, from row-major samples of
// cfitsio's data type (TSHORT, TINT ...). Returns cfitsio's status: 0 when written.
inline int CfitsioWriteImage(const std::string& path, int side, int dataType, void* samples) {
    fitsfile* f = nullptr;
    int status = 0;
    long axes[2] = {side, side};
    fits_create_file(&f, ("!" + path).c_str(), &status);
    fits_create_img(f, SHORT_IMG, 2, axes, &status);
    fits_write_img(f, dataType, 1, static_cast<LONGLONG>(side) * side, samples, &status);
    fits_close_file(f, &status);
    return status;
}
#endif
