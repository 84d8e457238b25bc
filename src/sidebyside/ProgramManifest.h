#pragma once
// The manifest of a Visual Basic program whose controls' state has been read:
// what the window's No registry and the command line's /manifest both write.
#include <functional>
#include <string>

#include "inspection/ControlDescription.h"
#include "inspection/ProgramState.h"
#include "sidebyside/ManifestWriter.h"

namespace ravlin {

// What a control file registers, read by whoever may run its code.
using DescribeControlAt = std::function<ControlDescription(const std::string& controlPath)>;

// Each control by the file a class of it is registered to where that file is
// there, otherwise where it was found; what is never a control is left out.
// Never throws: a failure that stops the writer reads as a failed write.
ManifestResult WriteProgramManifest(Platform& platform, const ProgramState& program,
                                    const DescribeControlAt& describe);

}  // namespace ravlin
