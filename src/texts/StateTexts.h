#pragma once
// What the user reads about a control's registration state. Values in, text out.
#include <string>

#include "inspection/RegistrationState.h"
#include "platform/Platform.h"

namespace ravlin {

// The line under the file's company and version:
// "Registered now: 3 classes and a type library, to this file.", "Not registered.", or
// "Registered to another copy: C:\old\richtx32.ocx (that file is missing)."
// When the registry refused the read, that it could not be read and why;
// "" when it could not be read otherwise.
std::string ConfirmationLine(const RegistrationState& state);

// After a registration the export reported as done: what is now registered
// to the file, or that nothing is: a fault where classes were expected, plain
// information elsewhere; or, as above, that it could not be read.
std::string AfterRegisteringText(const RegistrationState& state, bool expectsClasses);

// After an unregistration: that nothing points to the file any more, or what
// still does; or, as above, that it could not be read.
std::string AfterUnregisteringText(const RegistrationState& state);

// The confirmation's line for the file fileSpec names, read now in the view of
// its own architecture; "" when it names no file or the read fails. Never throws.
std::string RegistrationLineOf(Platform& platform, const std::string& fileSpec);

}  // namespace ravlin
