// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small pool of threads for the exports: frames are rendered, reduced and
// compressed independently, so a batch of them is spread over the cores
// while the calling thread writes the results in order.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkers {
 public:
  // Threads counts the calling thread, which takes part in every run; 0
  // means one per core.
  explicit TWorkers(int Threads);
  ~TWorkers();
  TWorkers(const TWorkers&) = delete;
  TWorkers& operator=(const TWorkers&) = delete;

  int Count() const { return static_cast<int>(Threads.size()) + 1; }

  // Runs Job(index, worker) for every index in [0, Jobs) and returns when all
  // are done. Worker (0 .. Count() - 1) names the thread, so a job may use
  // that worker's own scratch space. If jobs throw, the exception of the
  // lowest index is rethrown once every job has finished.
  void Run(int Jobs, const std::function<void(int, int)>& Job);

 private:
  void Work(int Worker);
  void TakeJobs(int Worker);

  std::vector<std::thread> Threads;
  std::mutex Lock;
  std::condition_variable Wake;
  std::condition_variable Done;
  const std::function<void(int, int)>* Current = nullptr;
  int JobCount = 0;
  int NextJob = 0;
  int Finished = 0;
  int Busy = 0;
  unsigned Generation = 0;
  bool Stopping = false;
  int FailedJob = -1;
  std::exception_ptr Failure;
};

// Threads an export uses by default: one per core.
int DefaultThreads();

// The pictures that all threads of an export may hold together.
constexpr long long ExportPictureBudget = 512LL << 20;
// Threads for an export whose every thread holds PerThreadBytes of pictures:
// Requested (0: one per core), but no more than ExportPictureBudget allows,
// and at least one. A many-core machine so never holds more than a few
// pictures of the largest animation; the bytes written do not depend on it.
int ExportThreads(int Requested, long long PerThreadBytes);

// Frames an export keeps in flight: PerThread for each worker, fewer when
// frames of FrameBytes each would pass a fixed memory budget, never fewer
// than one per worker.
int BatchSize(const TWorkers& Workers, int PerThread, long long FrameBytes);
