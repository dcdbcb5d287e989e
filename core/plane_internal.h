// Plane memory management shared by the codecs and their benchmarks.
#pragma once

namespace hv_detail {

// Big sample blocks are kept for reuse after a plane is released (up to a few tens of MiB), so
// that a plane freed and allocated again does not fault its pages in afresh. This returns the
// kept blocks to the system.
void ReleaseCachedPlaneMemory();

}  // namespace hv_detail
