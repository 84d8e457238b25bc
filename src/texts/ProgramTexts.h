#pragma once
// What the user reads about a Visual Basic program's controls: one line per
// control while confirming, the control being registered, and the one
// message that ends a run over them. Values in, text out.
#include <cstddef>
#include <string>

#include "inspection/ProgramState.h"
#include "registration/ProgramRun.h"
#include "registration/TryProgram.h"

namespace ravlin {
namespace text {

constexpr char kNoControls[] = "This Visual Basic program uses no controls: there is nothing to register.";
constexpr char kControlsUnreadable[] =
    "This is a Visual Basic program, but its list of controls cannot be read: the file is damaged.";
// After a run over a program's controls or its manifest written.
constexpr char kTryItOffer[] = "Press Try it to start the program and see whether it runs now.";

}  // namespace text

// What the window says while it watches, with the watch's own limit.
std::string TryingText();

// "WSHOM.OCX: registered, C:\windows\syswow64\wshom.ocx", "X.OCX: not registered,
// found beside the program", "NOWHERE.OCX: not found", ...
std::string ControlLine(const ProgramState& program, const ControlState& control);

// Every control on its own line, for the window while confirming.
std::string ControlList(const ProgramState& program);

// "2 of 5: MSCOMCTL.OCX"
std::string ProgressText(size_t position, size_t count, const std::string& file);

// The message that ends a run: how many it did, each control acted on with its
// outcome's first line and its state after, the ones kept or not found.
std::string ProgramRunMessage(const ProgramRun& run);

// The message that ends a run or a manifest's writing, and the offer to try the program.
std::string WithTryItOffer(const std::string& message);

// What came of starting the program: "It started and opened its window.", ...
std::string TryMessage(const TryOutcome& outcome);

}  // namespace ravlin
