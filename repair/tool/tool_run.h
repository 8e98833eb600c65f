#pragma once

// Tool: carries out an action list with administrator rights.
//
// Arguments: verb, operand, operand, ... as built by Tarnwick. The whole list
// is checked first; then every action runs in order. The actions that
// change one SDK form a group that is done wholly or undone (see runGroup);
// any other failed action is reported and passed over. "Undo" puts back an
// SDK whose change was cut short. At the end, ToolQuit is posted on the
// system bus.
// Root's rights are used inside the SDK directory only, and only when the
// way to it is root's alone; everything else is done with the rights of
// the user who asked (PKEXEC_UID).
// Exit status: 0 all done, 1 some action failed, 2 list refused.

#include <string>
#include <vector>

// The whole run of Tool on the arguments after its name; returns its exit
// status.
int runTool(const std::vector<std::string> &arguments, const std::string &sdkDirectory);
