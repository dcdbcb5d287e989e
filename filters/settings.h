// Program-wide filter settings, written by the dialogs' OK buttons and read by the commands.
#pragma once

struct FilterSettings {
    double EdgeStrength = 0.0;
    double BlurAmount = 0.0;  // shared by the blur and the guide-miss canceller dialogs
    double GammaValue = 0.0;  // also rewritten by coma correction from the gamma dialog's field
    int GmcDirection = 0;
    int GmcFlow = 0;
    int GmcThreshold = 0;
    int GmcConfirmed = 0;
};
