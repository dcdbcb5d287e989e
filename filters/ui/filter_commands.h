// The filter commands of the processing menu. Each takes the active window, shows its dialog,
// calls one filter function and draws the result.
#pragma once

#include "filters/settings.h"

class ImageFrame;
class TEDG;
class TBLUR;
class TGMM;
class TSabachie;
class TGMCPanel;
class TComaCorrect;

struct FilterForms {
    FilterSettings* settings = nullptr;
    TGMCPanel* gmcPanel = nullptr;
    TGMM* gmm = nullptr;
    TEDG* edg = nullptr;
    TBLUR* blur = nullptr;
    TComaCorrect* comaCorrect = nullptr;
    TSabachie* sabachie = nullptr;
};

void EdgeCommand(ImageFrame& frame, FilterForms& forms);         // エッジ強調
void GuideMissCommand(ImageFrame& frame, FilterForms& forms);    // ガイドミスキャンセラ
void BlurCommand(ImageFrame& frame, FilterForms& forms);         // ぼかし
void GammaCommand(ImageFrame& frame, FilterForms& forms);        // ガンマ
void SolarizeCommand(ImageFrame& frame, FilterForms& forms);     // ソラリゼーション
void SabattierCommand(ImageFrame& frame, FilterForms& forms);    // サバチエ効果
void ComaCorrectCommand(ImageFrame& frame, FilterForms& forms);  // コマコレクト処理
