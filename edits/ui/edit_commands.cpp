// placeholder: to be implemented
#include "edits/ui/edit_commands.h"

void NegativeCommand(ImageFrame&) {}
void MirrorCommand(ImageFrame&) {}
void FlipCommand(ImageFrame&) {}
void RgbSplitCommand(ImageFrame&) {}
