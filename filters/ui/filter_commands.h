// The filter commands of the processing menu. Each takes the active window, shows its dialog,
// calls one filter function and draws the result.
#pragma once

#include "filters/ui/dialogs.h"

class ImageFrame;

void EdgeCommand(ImageFrame& frame, TEDG& dialog);            // エッジ強調
void GuideMissCommand(ImageFrame& frame, TGMCPanel& dialog);  // ガイドミスキャンセラ
void BlurCommand(ImageFrame& frame, TBLUR& dialog);           // ぼかし
void GammaCommand(ImageFrame& frame, TGMM& dialog);           // ガンマ
void SolarizeCommand(ImageFrame& frame);                      // ソラリゼーション
void SabattierCommand(ImageFrame& frame, TSabachie& dialog);  // サバチエ効果
void ComaCorrectCommand(ImageFrame& frame, TComaCorrect& dialog, TGMM& gamma);  // コマコレクト処理
