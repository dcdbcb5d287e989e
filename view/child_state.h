// The per-image state of a child window, kept as the texts of its hidden fields and parsed at every
// use (so every real keeps the value its 15-digit text gives).
#pragma once

#include <string>

struct ChildState {
    std::string DemX = "0";        // image width
    std::string DemY = "0";        // image height
    std::string ColN = "0";        // "1" (opened, benchmark) or "3" (RGB separation)
    std::string ZomN = "0";        // zoom factor; "1.00" once filled
    std::string UndoFlg = "0";     // "1" after a filter drew its result
    std::string Contrast = "1.0";  // contrast factor of a colour window
    std::string Average = " ";     // sample window: sampled mean
    std::string Minimum;           // sample window: sampled minimum
    std::string FilterI;           // window kind: 1 colour, 2 sample, 3 PPM
    std::string MAX;               // last Max up-down position
    std::string MIN;               // last Min up-down position
};

// Window kinds.
inline constexpr int kColourWindow = 1;
inline constexpr int kSampleWindow = 2;
inline constexpr int kPpmWindow = 3;
