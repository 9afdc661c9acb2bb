// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/Workers.h"

#include <algorithm>

int DefaultThreads() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

int BatchSize(const TWorkers& Workers, int PerThread, long long FrameBytes) {
  constexpr long long Budget = 256LL << 20;
  const long long fit = Budget / std::max(1LL, FrameBytes);
  return static_cast<int>(
      std::clamp<long long>(fit, Workers.Count(), static_cast<long long>(PerThread) * Workers.Count()));
}

int ExportThreads(int Requested, long long PerThreadBytes) {
  const long long wanted = Requested > 0 ? Requested : DefaultThreads();
  return static_cast<int>(std::clamp(ExportPictureBudget / std::max(1LL, PerThreadBytes), 1LL, wanted));
}

TWorkers::TWorkers(int ThreadCount) {
  const int total = ThreadCount > 0 ? ThreadCount : DefaultThreads();
  for (int w = 1; w < total; ++w) Threads.emplace_back([this, w] { Work(w); });
}

TWorkers::~TWorkers() {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Stopping = true;
  }
  Wake.notify_all();
  for (std::thread& t : Threads) t.join();
}

void TWorkers::TakeJobs(int Worker) {
  std::unique_lock<std::mutex> guard(Lock);
  ++Busy;
  while (NextJob < JobCount) {
    const int job = NextJob++;
    const std::function<void(int, int)>& run = *Current;
    guard.unlock();
    std::exception_ptr failure;
    try {
      run(job, Worker);
    } catch (...) {
      failure = std::current_exception();
    }
    guard.lock();
    if (failure && (FailedJob < 0 || job < FailedJob)) {
      FailedJob = job;
      Failure = failure;
    }
    ++Finished;
  }
  --Busy;
  if (Finished == JobCount && Busy == 0) Done.notify_all();
}

void TWorkers::Work(int Worker) {
  unsigned seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(Lock);
      Wake.wait(guard, [&] { return Stopping || Generation != seen; });
      if (Stopping) return;
      seen = Generation;
    }
    TakeJobs(Worker);
  }
}

void TWorkers::Run(int Jobs, const std::function<void(int, int)>& Job) {
  if (Jobs <= 0) return;
  {
    std::lock_guard<std::mutex> guard(Lock);
    Current = &Job;
    JobCount = Jobs;
    NextJob = 0;
    Finished = 0;
    FailedJob = -1;
    Failure = nullptr;
    ++Generation;
  }
  if (Jobs > 1) Wake.notify_all();
  TakeJobs(0);
  std::exception_ptr failure;
  {
    std::unique_lock<std::mutex> guard(Lock);
    // Late workers may still be inside TakeJobs with nothing left to take;
    // wait until they have left, so the next run starts clean.
    Done.wait(guard, [&] { return Finished == JobCount && Busy == 0; });
    Current = nullptr;
    failure = Failure;
    Failure = nullptr;
  }
  if (failure) std::rethrow_exception(failure);
}
