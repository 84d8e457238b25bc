#pragma once
// The manifest of a Visual Basic program whose controls' state has been read:
// what the window's No registry and the command line's /manifest both write.
#include "inspection/ProgramState.h"
#include "sidebyside/ManifestWriter.h"

namespace ravlin {

// Each control by the file a class of it is registered to where that file is
// there, otherwise where it was found. Never throws: a failure that stops the
// writer reads as a failed write.
ManifestResult WriteProgramManifest(Platform& platform, const ProgramState& program);

}  // namespace ravlin
