// The state lines: the confirmation's and the companion's, each read on a
// thread of its own where one starts, and shown once read. The idle timer
// looks for them more often while one is being read.
#include "platform/ResumeNext.h"
#include "texts/StateTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

std::string LineOf(const FinishedRead& read) {
  std::string line;
  ResumeNext([&] {
    if (!read.path.empty()) line = ConfirmationLine(read.state);
  });
  return line;
}

}  // namespace

void frmRavlin::ReadConfirmationState(const std::string& inFileSpec) {
  DropConfirmationState();
  bool started = false;
  ResumeNext([&] { started = stateRead_.Start(inFileSpec); });
  if (!started) {
    FinishedRead read{inFileSpec, {}, {}};
    ResumeNext([&] { read = ReadNow(platform_, inFileSpec); });
    return ShowConfirmationState(read);
  }
  bool ended = false;
  ResumeNext([&] { ended = stateRead_.Wait(kStateShownWithinMs, true); });
  if (ended) return TakeConfirmationState();
  PaceTimer();
}

void frmRavlin::TakeConfirmationState() {
  std::optional<FinishedRead> read;
  ResumeNext([&] { read = stateRead_.Take(); });
  if (!read) return;
  PaceTimer();
  ShowConfirmationState(*read);
}

void frmRavlin::ShowConfirmationState(const FinishedRead& read) {
  if (read.state.read) mConfirmedBasis = read.state.basis;
  lblState.SetCaption(LineOf(read));
}

void frmRavlin::DropConfirmationState() {
  mConfirmedBasis.reset();
  if (!stateRead_.Running()) return;
  stateRead_.Discard();
  PaceTimer();
}

// A confirmation's read still running when the control said yes is waited
// for: it began before the control wrote anything, and finishing it costs
// less than reading every class again.
std::optional<ReadBasis> frmRavlin::ConfirmedBasis() {
  if (!mConfirmedBasis && stateRead_.Running() && stateRead_.Wait(kWaitLimitMs)) {
    std::optional<FinishedRead> read = stateRead_.Take();
    PaceTimer();
    if (read && read->state.read) mConfirmedBasis = std::move(read->state.basis);
  }
  return mConfirmedBasis;
}

void frmRavlin::ReadCompanionState() {
  bool started = false;
  ResumeNext([&] { started = companionRead_.Start(mCompanionPath); });
  if (!started) return ShowCompanionState();
  PaceTimer();
}

void frmRavlin::TakeCompanionState() {
  std::optional<FinishedRead> read;
  ResumeNext([&] { read = companionRead_.Take(); });
  if (!read) return;
  PaceTimer();
  const std::string line = LineOf(*read);
  ResumeNext([&] { lblCompanionState.SetCaption(line); });
}

void frmRavlin::PaceTimer() {
  const uint32_t interval = stateRead_.Running() || companionRead_.Running() ? kReadingTimerMs : kIdleTimerMs;
  if (interval == mTimerMs) return;
  mTimerMs = interval;
  ResumeNext([&] { toolkit_.SetTimer(interval, [this] { Timer1_Timer(); }); });
}

}  // namespace ravlin
