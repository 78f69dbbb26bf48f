// A dialog's long work on a thread of its own: one job at a time, its progress shown while it
// runs, and the job handed back on the dialog's thread when it ends or is stopped. The scan
// for compressed graphics and the tile search run this way; editing goes on meanwhile.
#pragma once

#include <QObject>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

namespace varnock {

// What a worker and its dialog share: the counts the worker reports, the dialog's request to
// stop, and the thread the work ran on (set before the work starts).
struct JobProgress {
  std::atomic<uint64_t> Done{0};
  std::atomic<uint64_t> Total{0};
  std::atomic<bool> Cancelled{false};
  std::thread::id WorkerThread;

  // For the work's progress callback: keeps the counts; false once a stop was asked.
  bool Report(uint64_t done, uint64_t total) {
    Done.store(done, std::memory_order_relaxed);
    Total.store(total, std::memory_order_relaxed);
    return !Cancelled.load(std::memory_order_relaxed);
  }
  // How far the work is, in `steps` steps (none before it knows its total).
  int Steps(int steps) const {
    const uint64_t total = Total.load(std::memory_order_relaxed);
    const uint64_t done = std::min(Done.load(std::memory_order_relaxed), total);
    return total == 0 ? 0 : static_cast<int>(done * static_cast<uint64_t>(steps) / total);
  }
};

// `Job` derives from JobProgress. Kept as a member of the dialog that owns it.
template <class Job>
class BackgroundJob {
 public:
  // `showProgress` runs on `owner`'s thread every tenth of a second while a job runs.
  BackgroundJob(QObject* owner, std::function<void()> showProgress)
      : owner_(owner), timer_(new QTimer(owner)) {
    timer_->setInterval(100);
    QObject::connect(timer_, &QTimer::timeout, owner, std::move(showProgress));
  }
  // Only the worker is stopped and waited for: the dialog, and what it shows, is going away.
  ~BackgroundJob() {
    if (!job_) return;
    job_->Cancelled = true;
    thread_->wait();
    delete thread_;
  }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  bool Running() const { return job_ != nullptr; }
  // The running job, or null.
  Job* Current() const { return job_.get(); }

  // Runs `work` on `job` on a new thread. `ended` runs on the owner's thread when the work ends,
  // through its event loop; a job taken before then (a stop) gets no call.
  void Start(std::shared_ptr<Job> job, std::function<void(Job&)> work,
             std::function<void()> ended) {
    job_ = job;
    thread_ = QThread::create([job, work = std::move(work)] {
      job->WorkerThread = std::this_thread::get_id();
      work(*job);
    });
    QObject::connect(thread_, &QThread::finished, owner_, [this, job, ended = std::move(ended)] {
      if (job_ == job) ended();
    });
    thread_->start();
    timer_->start();
  }

  // Asks the running job to stop; Take then waits for it.
  void Cancel() {
    if (job_) job_->Cancelled = true;
  }

  // Waits until the running job's worker has ended and hands the job over; null when none runs.
  std::shared_ptr<Job> Take() {
    if (!job_) return nullptr;
    std::shared_ptr<Job> job = std::exchange(job_, nullptr);
    timer_->stop();
    thread_->wait();
    // Its finished signal may still be on its way to the owner.
    thread_->deleteLater();
    thread_ = nullptr;
    return job;
  }

 private:
  QObject* owner_;
  QTimer* timer_;  // a child of the owner
  std::shared_ptr<Job> job_;
  QThread* thread_ = nullptr;
};

}  // namespace varnock
