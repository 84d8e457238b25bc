#include "registration/BackgroundRead.h"

#include <utility>

#include "platform/ResumeNext.h"
#include "registration/Registrar.h"

namespace ravlin {

struct BackgroundRead::Job {
  Platform* platform;
  std::string fileSpec;
  std::atomic<bool> stop{false};
  std::atomic<bool> done{false};
  std::atomic<bool> longRead{false};
  FinishedRead result;
};

namespace {

// How long the window's end waits for reads told to stop.
constexpr uint32_t kStopWaitMs = 2000;
// How often a wait until a long read looks whether it is one.
constexpr uint32_t kLookMs = 20;

uint32_t ReadThread(void* parameter) {
  BackgroundRead::Job& job = *static_cast<BackgroundRead::Job*>(parameter);
  ResumeNext([&] { job.result = ReadNow(*job.platform, job.fileSpec, &job.stop, &job.longRead); });
  job.done.store(true, std::memory_order_release);
  return 0;
}

// Jobs of threads still running when their reader went: the thread writes
// to its job until it ends, so they are never freed.
std::vector<std::shared_ptr<BackgroundRead::Job>>* orphans = nullptr;

void Orphan(std::shared_ptr<BackgroundRead::Job> job) {
  ResumeNext([&] {
    if (!orphans) orphans = new std::vector<std::shared_ptr<BackgroundRead::Job>>();
    orphans->push_back(std::move(job));
  });
}

}  // namespace

FinishedRead ReadNow(Platform& platform, const std::string& fileSpec, const std::atomic<bool>* stop,
                     std::atomic<bool>* longRead) {
  FinishedRead read{fileSpec, {}, {}};
  read.path = CheckedPathOf(platform, fileSpec);
  if (!read.path.empty())
    read.state = ReadRegistrationState(platform, read.path, 0, DefaultClassesRoots(), {nullptr, stop, longRead});
  return read;
}

BackgroundRead::BackgroundRead(Platform& platform) : platform_(platform) {}

BackgroundRead::~BackgroundRead() {
  Discard();
  for (Started& dropped : dropped_) {
    uint32_t state = kWaitFailed;
    ResumeNext([&] { state = platform_.WaitForSingleObject(dropped.thread.get(), kStopWaitMs); });
    if (state != kWaitObject0) Orphan(std::move(dropped.job));
  }
}

bool BackgroundRead::Start(const std::string& fileSpec) {
  Discard();
  ReleaseEnded();
  auto job = std::make_shared<Job>();
  job->platform = &platform_;
  job->fileSpec = fileSpec;
  uint32_t threadId = 0;
  OwnedHandle thread(platform_.CreateThread(nullptr, 0, &ReadThread, job.get(), 0, &threadId),
                     HandleReleaser{&platform_});
  if (!thread) return false;
  running_ = Started{std::move(job), std::move(thread)};
  return true;
}

bool BackgroundRead::Wait(uint32_t milliseconds, bool untilLong) {
  if (!running_) return false;
  const Job& job = *running_->job;
  const uint32_t slice = untilLong ? kLookMs : milliseconds;
  for (uint32_t waited = 0; waited < milliseconds; waited += slice) {
    if (job.done.load(std::memory_order_acquire) || (untilLong && job.longRead.load())) break;
    if (platform_.WaitKeepingWindowAlive(running_->thread.get(), slice) == kWaitObject0) break;
  }
  return job.done.load(std::memory_order_acquire);
}

std::optional<FinishedRead> BackgroundRead::Take() {
  if (!running_) return std::nullopt;
  FinishedRead result{running_->job->fileSpec, {}, {}};
  if (running_->job->done.load(std::memory_order_acquire)) {
    result = std::move(running_->job->result);
  } else {
    // A thread that ended without its result faulted: there is nothing to show.
    uint32_t state = kWaitTimeout;
    ResumeNext([&] { state = platform_.WaitForSingleObject(running_->thread.get(), 0); });
    if (state != kWaitObject0) return std::nullopt;
  }
  running_.reset();
  return result;
}

void BackgroundRead::Discard() {
  if (!running_) return;
  running_->job->stop.store(true, std::memory_order_relaxed);
  dropped_.push_back(std::move(*running_));
  running_.reset();
}

void BackgroundRead::ReleaseEnded() {
  std::vector<Started> stillRunning;
  for (Started& dropped : dropped_) {
    uint32_t state = kWaitFailed;
    ResumeNext([&] { state = platform_.WaitForSingleObject(dropped.thread.get(), 0); });
    if (state == kWaitObject0) continue;
    if (state == kWaitFailed) Orphan(std::move(dropped.job));  // it cannot be told whether it runs
    else stillRunning.push_back(std::move(dropped));
  }
  dropped_ = std::move(stillRunning);
}

}  // namespace ravlin
