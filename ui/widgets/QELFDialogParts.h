#pragma once
// The group setups of the dialogs, shared by their files and by nothing else.
#include "ui/widgets/QELBGroup.h"

inline constexpr QELTGroupSetup kQELDialogSurface = {kQELGroupColumn, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kQELDialogControl = {kQELGroupColumn, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kQELDialogMessage = {kQELGroupRow, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kQELDialogButtons = {kQELGroupRow, 6, 10, 0,
                                                     kQELGroupUniformCross | kQELGroupUniformMain};
inline constexpr QELTGroupSetup kQELDialogCentered = {kQELGroupCentered, 0, 0, 0, 0};
