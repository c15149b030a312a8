#pragma once
// The group setups of the dialogs, shared by their files and by nothing else.
#include "ui/widgets/QELBGroup.h"

// Other groups of the program use the same names with other values, hence the namespace.
namespace QELDialogSetups {
inline constexpr QELTGroupSetup kSetupSurface = {kQELGroupColumn, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kSetupControl = {kQELGroupColumn, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kSetupMessage = {kQELGroupRow, 2, 2, 0, kQELGroupUniformCross};
inline constexpr QELTGroupSetup kSetupButtons = {kQELGroupRow, 6, 10, 0, kQELGroupUniformCross | kQELGroupUniformMain};
inline constexpr QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0, 0, 0, 0};
}  // namespace QELDialogSetups

#include <functional>
#include <string>
#include <vector>

#include "framework/core/LLKCMessage.h"

// Empties the row and attaches a button for each title; button i sends the code code(i) and
// keeps i as its tag.
void QELFDialogFillButtons(QELBGroup& row, const std::vector<std::string>& titles,
                           const std::function<LLKTMessageCode(uint32_t)>& code);
// The index of the row's button that sent the message (its "sender"), or -1: a message that
// only looks like a button's (an empty one looks like button 0's) is not a press.
int32_t QELFDialogButtonOf(QELBGroup& row, const LLKCMessage& message);
