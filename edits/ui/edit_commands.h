// The image-edit commands: negative, mirror, vertical flip, RGB separation.
#pragma once

class ImageFrame;

void NegativeCommand(ImageFrame& frame);  // ネガ反転
void MirrorCommand(ImageFrame& frame);    // ミラー反転
void FlipCommand(ImageFrame& frame);      // 上下反転
void RgbSplitCommand(ImageFrame& frame);  // RGB分解
