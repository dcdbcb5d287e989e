// placeholder: to be implemented
#include "filters/ui/filter_commands.h"

void EdgeCommand(ImageFrame&, FilterForms&) {}
void GuideMissCommand(ImageFrame&, FilterForms&) {}
void BlurCommand(ImageFrame&, FilterForms&) {}
void GammaCommand(ImageFrame&, FilterForms&) {}
void SolarizeCommand(ImageFrame&, FilterForms&) {}
void SabattierCommand(ImageFrame&, FilterForms&) {}
void ComaCorrectCommand(ImageFrame&, FilterForms&) {}
