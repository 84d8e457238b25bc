#pragma once
// What is registered to a file, read on a thread of its own so that the
// window goes on answering meanwhile. The thread works on its own copies and
// never touches the window; one told to stop ends at the next class.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "inspection/RegistrationState.h"
#include "platform/Owned.h"
#include "platform/Platform.h"

namespace ravlin {

struct FinishedRead {
  std::string fileSpec;  // as it was given to Start
  std::string path;      // the file read; "" when the file specification named no file here
  RegistrationState state;
};

class BackgroundRead {
 public:
  explicit BackgroundRead(Platform& platform);
  // Stops what still runs and waits a short, bounded time for it.
  ~BackgroundRead();
  BackgroundRead(const BackgroundRead&) = delete;
  BackgroundRead& operator=(const BackgroundRead&) = delete;

  // Starts a read of the file fileSpec names, dropping any read before it.
  // False when no thread could start: then nothing runs.
  bool Start(const std::string& fileSpec);
  bool Running() const { return running_.has_value(); }
  // Waits at most milliseconds for the running read, the window painting
  // meanwhile; true when it has ended. With untilLong, the wait ends too
  // once the read has found more classes than a quick read covers.
  bool Wait(uint32_t milliseconds, bool untilLong = false);
  // The read once it has ended (with nothing read when its thread faulted);
  // none while it runs or when none was started.
  std::optional<FinishedRead> Take();
  // The running read is told to stop and its result will be dropped.
  void Discard();

  struct Job;

 private:
  struct Started {
    std::shared_ptr<Job> job;
    OwnedHandle thread;
  };
  // Lets go of dropped reads whose threads have ended.
  void ReleaseEnded();

  Platform& platform_;
  std::optional<Started> running_;
  std::vector<Started> dropped_;  // discarded reads, until their threads end
};

// The same read on the calling thread.
FinishedRead ReadNow(Platform& platform, const std::string& fileSpec, const std::atomic<bool>* stop = nullptr,
                     std::atomic<bool>* longRead = nullptr);

}  // namespace ravlin
